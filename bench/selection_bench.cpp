// Select All and Find All on a list of a large cache, with what a screen
// reader is told of the change.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "clean/find.h"
#include "tests/fakes/fake_shell.h"
#include "ui/accessibility.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"

namespace {

// The search as the list window runs it: the model changed, then what a
// screen reader is to hear of the change worked out once.
class Told : public tw::ListModelSearch {
public:
    explicit Told(tw::ListModel& list) : ListModelSearch(list) { announcer_.Next(list, 0, true); }
    std::size_t Tell() { return announcer_.Next(Model(), 0, true, true).size(); }

private:
    tw::ListAnnouncer announcer_;
};

void Fill(tw::ListModel& list, int rows) {
    list.InsertColumn("Title", 200, -1, 0);
    list.InsertColumn("URL", 300, -1, 0);
    char url[128];
    for (int i = 0; i < rows; ++i) {
        std::snprintf(url, sizeof url, "http://www.host%d.example.com/news/%08x.html", i % 500, i);
        const int row = list.AddRow(i % 3 ? "Page" : "News today", 0);
        list.SetCellText(row, 1, url);
    }
}

void BM_SelectAll(benchmark::State& state) {
    tw::fakes::FakeClock clock;
    tw::ListModel list(clock);
    Fill(list, int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        list.Select(-1, 0, 0);
        Told told(list);
        state.ResumeTiming();
        tw::SelectAllItems(told);
        benchmark::DoNotOptimize(told.Tell());
    }
}
BENCHMARK(BM_SelectAll)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FindAll(benchmark::State& state) {
    tw::fakes::FakeClock clock;
    tw::Latin1CodePage page;
    tw::ListModel list(clock);
    Fill(list, int(state.range(0)));
    tw::FindRequest request;
    std::strcpy(request.text, "news");
    request.searchNames = request.searchValues = request.findAll = 1;
    for (auto _ : state) {
        state.PauseTiming();
        for (int r = 0; r < list.RowCount(); ++r)
            for (int c = 0; c < 2; ++c)
                list.SetCellColours(r, c, tw::kDefaultColour, tw::kDefaultColour);
        Told told(list);
        state.ResumeTiming();
        tw::FindItems(told, request, page);
        benchmark::DoNotOptimize(told.Tell());
    }
}
BENCHMARK(BM_FindAll)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
