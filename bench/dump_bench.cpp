// tidewell-dump on a real History file grown to the bitmap's limit (16 MB):
// the whole command in each format, the visitor alone, the tabs' reader on
// the same file, and the code page and time conversions of jsonl.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/grow_index.h"
#include "core/file_image.h"
#include "core/index_reader.h"
#include "core/index_visitor.h"
#include "settings/date_format.h"
#include "tools/dump/code_page.h"
#include "tools/dump/dump.h"

namespace {

const std::string& GrownFile() {
    static const std::string path = [] {
        const std::string target = "/tmp/tidewell_bench_grown_history.dat";
        std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
        const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string grown = tw::bench::GrowIndexImage(image);
        std::ofstream(target, std::ios::binary).write(grown.data(), std::streamsize(grown.size()));
        return target;
    }();
    return path;
}

void BM_DumpGrownIndex(benchmark::State& state) {
    static const char* const formats[] = {"tsv", "csv", "json", "jsonl", "html"};
    const std::string& path = GrownFile();
    std::FILE* null = std::fopen("/dev/null", "wb");
    const char* argv[] = {"tidewell-dump", "--format", formats[state.range(0)], path.c_str()};
    for (auto _ : state)
        benchmark::DoNotOptimize(tw::RunDump(4, argv, null, stderr));
    std::fclose(null);
    state.SetLabel(formats[state.range(0)]);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 16187392);
}
BENCHMARK(BM_DumpGrownIndex)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_DumpGrownIndexSummary(benchmark::State& state) {
    const std::string& path = GrownFile();
    std::FILE* null = std::fopen("/dev/null", "wb");
    const char* argv[] = {"tidewell-dump", "--summary", path.c_str()};
    for (auto _ : state)
        benchmark::DoNotOptimize(tw::RunDump(3, argv, null, stderr));
    std::fclose(null);
}
BENCHMARK(BM_DumpGrownIndexSummary)->Unit(benchmark::kMillisecond);

class Counter : public tw::IndexVisitor {
public:
    void Record(const tw::IndexRecordView& r) override { bytes += r.url.length + r.size; ++records; }
    std::size_t bytes = 0, records = 0;
};

// The walk alone over a mapped file, and the tabs' reader on the same file,
// which copies every URL record into a fixed-size record.
void BM_VisitGrownIndex(benchmark::State& state) {
    tw::FileImage image;
    image.Open(GrownFile().c_str());
    std::size_t records = 0;
    for (auto _ : state) {
        Counter c;
        benchmark::DoNotOptimize(tw::VisitIndexImage(image.Data(), image.Size(), c));
        records = c.records;
    }
    state.SetItemsProcessed(std::int64_t(state.iterations() * records));
    state.counters["records"] = double(records);
}
BENCHMARK(BM_VisitGrownIndex)->Unit(benchmark::kMillisecond);

void BM_ReadGrownIndexIntoArray(benchmark::State& state) {
    const std::string& path = GrownFile();
    for (auto _ : state) {
        tw::EntryArray<tw::PageEntry> entries;
        benchmark::DoNotOptimize(tw::ReadIndexFile(path.c_str(), entries));
    }
}
BENCHMARK(BM_ReadGrownIndexIntoArray)->Unit(benchmark::kMillisecond);

// A URL with a few bytes above 127, in the built-in table (0) and through
// the platform's converter (1).
void BM_CodePageToUtf8(benchmark::State& state) {
    std::string error;
    auto page = state.range(0) ? tw::OpenCodePage("windows-1252", &error) : tw::BuiltInWindows1252();
    const std::string url = "Visited: user@http://www.example.com/caf\xe9/\x93quoted\x94/page.html?q=\x80";
    std::string out;
    for (auto _ : state) {
        out.clear();
        page->AppendUtf8(url.data(), url.size(), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations() * url.size()));
}
BENCHMARK(BM_CodePageToUtf8)->Arg(0)->Arg(1);

void BM_IsoUtcTime(benchmark::State& state) {
    std::uint64_t t = 129533290442500000ull;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tw::IsoUtcTime(tw::FileTime::FromValue(t)));
        t += 123456789;
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()));
}
BENCHMARK(BM_IsoUtcTime);

}  // namespace
