// Opening a large index file in the band: the real file's records packed
// into a file of 100,000 or 1,000,000 records, loaded into list models as
// the band loads it. Besides the time, the peak memory of the load (the
// rise of the process's peak resident set, which counts the mapped file's
// pages as well as the rows) and what the list holds a row.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/grow_index.h"
#include "core/tab_fill.h"
#include "settings/date_format.h"
#include "tests/fakes/fake_shell.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"

namespace {

std::string PackedFile(std::size_t records) {
    const std::string path = "/tmp/tidewell_bench_packed_" + std::to_string(records) + ".dat";
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return path;
    }
    std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string packed = tw::bench::PackIndexRecords(image, records);
    std::ofstream(path, std::ios::binary).write(packed.data(), std::streamsize(packed.size()));
    return path;
}

// Kilobytes from a line of /proc/self/status, or 0.
double StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::stod(line.substr(prefix.size()));
    return 0;
}

// Lowers the peak resident set to the present one (Linux 4.0 and later);
// false where the system does not allow it.
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

double HeapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks + m.hblkhd);
}

void BM_LoadIndexFileIntoList(benchmark::State& state) {
    const std::string path = PackedFile(std::size_t(state.range(0)));
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const double fileBytes = double(file.tellg());
    tw::fakes::FakeClock clock;
    double peak = 0, rowBytes = 0;
    int rows = 0;
    bool measured = true;
    for (auto _ : state) {
        state.PauseTiming();
        {
            tw::ListModel models[3] = {tw::ListModel(clock), tw::ListModel(clock), tw::ListModel(clock)};
            tw::ListModelRows history(models[0]), cookies(models[1]), cache(models[2]);
            tw::TabList* const lists[3] = {&history, &cookies, &cache};
            // The heap that earlier rounds freed goes back to the system, so
            // that every round's rows take fresh memory as the first does.
            malloc_trim(0);
            measured = ResetPeak() && measured;
            const double rssBefore = StatusKb("VmRSS"), heapBefore = HeapBytes();
            state.ResumeTiming();
            tw::EntryKind kind = tw::EntryKind::History;
            benchmark::DoNotOptimize(tw::LoadIndexFile(path.c_str(), lists, tw::kDefaultDateTemplate, &kind));
            state.PauseTiming();
            peak = (StatusKb("VmHWM") - rssBefore) * 1024;
            rows = models[int(kind)].RowCount();
            rowBytes = rows ? (HeapBytes() - heapBefore) / rows : 0;
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["rows"] = rows;
    state.counters["peak_MB"] = measured ? peak / 1e6 : -1;
    state.counters["peak_per_file"] = measured ? peak / fileBytes : -1;
    state.counters["heap_B_per_row"] = rowBytes;
}
BENCHMARK(BM_LoadIndexFileIntoList)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
