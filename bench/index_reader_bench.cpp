// Index file reading from the page cache: bytes and records per second, and
// the memory that a read holds beyond the records it yields.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <string>

#include "core/index_reader.h"
#include "tools/samples/index_file_writer.h"

namespace {

std::string MakeFile(int records) {
    const std::string path = "/tmp/tidewell_bench_" + std::to_string(records) + ".dat";
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return path;
    }
    tw::samples::IndexFileWriter w;
    for (int i = 0; i < records; ++i) {
        tw::samples::IndexRecord r;
        r.url = "Visited: bench@http://www.example.com/section/" + std::to_string(i) + "/page.html";
        r.title = u"A page title of ordinary length";
        r.firstTime = 133000000000000000ull + std::uint64_t(i);
        r.secondTime = r.firstTime + 1;
        w.Add(r);
    }
    w.WriteTo(path);
    return path;
}

void BM_ReadIndexFile(benchmark::State& state) {
    const std::string path = MakeFile(int(state.range(0)));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    std::size_t records = 0;
    for (auto _ : state) {
        tw::EntryArray<tw::PageEntry> entries;
        benchmark::DoNotOptimize(tw::ReadIndexFile(path.c_str(), entries));
        records = entries.Count();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * size);
    state.SetItemsProcessed(std::int64_t(state.iterations()) * std::int64_t(records));
    state.counters["file_MB"] = double(size) / 1e6;
    state.counters["records_MB"] = double(records * sizeof(tw::PageEntry)) / 1e6;
}
BENCHMARK(BM_ReadIndexFile)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same with the allocator told to keep freed memory, so that the records'
// pages are faulted in once and reused: what the reader itself costs, apart
// from the first touch of fresh memory (which is dear on virtual machines).
void BM_ReadIndexFileWarmMemory(benchmark::State& state) {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, -1);
    BM_ReadIndexFile(state);
}
BENCHMARK(BM_ReadIndexFileWarmMemory)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
