// A Cache report of a large store: time, and the memory the writer holds
// beyond the records themselves (the report is built block by block).
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <string>

#include "report/report_writer.h"

namespace {

void BM_CacheReport(benchmark::State& state) {
    tw::EntryArray<tw::FileEntry> entries;
    for (int i = 0; i < state.range(0); ++i) {
        tw::FileEntry e;
        const std::string url = "http://www.example.com/images/" + std::to_string(i) + "/picture.gif";
        const std::string file = "C:\\Cache\\ABCD1234\\picture[" + std::to_string(i) + "].gif";
        tw::CopyField(e.url, url.c_str());
        tw::CopyField(e.localFile, file.c_str());
        e.size = 2048;
        e.lastModified = tw::FileTime::FromValue(133646112000000000ull + std::uint64_t(i) * 10000000ull);
        e.lastAccess = e.lastModified;
        entries.Append(e);
    }
    std::size_t peakExtra = 0;
    for (auto _ : state) {
        std::FILE* out = std::fopen("/dev/null", "wb");
        const std::size_t before = mallinfo2().uordblks;
        tw::WriteReport(out, tw::ReportKind::Cache, entries, "dd.MM.yyyy");
        const std::size_t after = mallinfo2().uordblks;
        peakExtra = after > before ? after - before : 0;
        std::fclose(out);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["records_MB"] = double(entries.Count() * sizeof(tw::FileEntry)) / 1e6;
    state.counters["left_allocated_B"] = double(peakExtra);
}
BENCHMARK(BM_CacheReport)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
