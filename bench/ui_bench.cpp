// The list control's bulk operations at the size of a large cache:
// filling 100,000 rows, sorting by a text and a date column, reversing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

#include "tests/fakes/fake_shell.h"
#include "ui/list_model.h"

namespace {

constexpr int kRows = 100000;

void AddColumns(tw::ListModel& list) {
    list.InsertColumn("URL", 300, -1, 0);
    list.InsertColumn("Last Visited", 120, -1, 0);
    list.InsertColumn("Hits", 40, -1, 0);
}

// URL-like texts that share long prefixes, as real cache lists do.
void Fill(tw::ListModel& list) {
    std::mt19937 random(42);
    char url[128];
    for (int i = 0; i < kRows; ++i) {
        const unsigned host = random() % 500, page = random();
        std::snprintf(url, sizeof url, "http://www.host%u.example.com/path/%08x.html", host, page);
        const int row = list.AddRow(url, 0);
        const std::uint64_t time = 0x01D0000000000000ull + (std::uint64_t(random()) << 16);
        list.SetCellDate(row, 1, tw::FileTime::FromValue(time));
        list.SetCellText(row, 1, "2024-01-01 12:00:00");
        list.SetCellText(row, 2, std::to_string(random() % 1000));
    }
}

void BM_AddRows(benchmark::State& state) {
    tw::fakes::FakeClock clock;
    for (auto _ : state) {
        tw::ListModel list(clock);
        AddColumns(list);
        Fill(list);
        benchmark::DoNotOptimize(list.RowCount());
    }
}
BENCHMARK(BM_AddRows)->Unit(benchmark::kMillisecond);

void SortBench(benchmark::State& state, int column) {
    tw::fakes::FakeClock clock;
    tw::ListModel list(clock);
    AddColumns(list);
    Fill(list);
    for (auto _ : state) {
        state.PauseTiming();
        // Another column first, so that the next sort compares rather than
        // reverses, from the same unsorted start each time.
        list.SortByColumn(column == 0 ? 2 : 0);
        state.ResumeTiming();
        list.SortByColumn(column);
        benchmark::DoNotOptimize(list.CellText(0, 0));
    }
}

void BM_SortByText(benchmark::State& state) { SortBench(state, 0); }
void BM_SortByDate(benchmark::State& state) { SortBench(state, 1); }
BENCHMARK(BM_SortByText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond);

void BM_Reverse(benchmark::State& state) {
    tw::fakes::FakeClock clock;
    tw::ListModel list(clock);
    AddColumns(list);
    Fill(list);
    list.SortByColumn(1);
    for (auto _ : state)
        list.SortByColumn(1);
}
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond);

}  // namespace
