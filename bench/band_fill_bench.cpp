// The start-up fill of the Cookies and Cache tabs from the cookie and the
// content searches of a large cache, into the real list model (drawing is off meanwhile, so the
// model is the whole cost apart from the cache itself).
#include <benchmark/benchmark.h>

#include <string>

#include "core/tab_fill.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"
#include "ui/list_model.h"
#include "ui/list_model_rows.h"

namespace {

void BM_StartUpFill(benchmark::State& state) {
    tw::fakes::FakeUrlCache cache;
    for (int i = 0; i < state.range(0); ++i) {
        const std::string n = std::to_string(i);
        if (i % 10 == 0)
            cache.Add("Cookie:user@site" + n + ".example/", "C:\\Cookies\\user@site" + n + "[1].txt", 120);
        else
            cache.Add("http://www.example.com/images/" + n + "/picture.gif",
                      "C:\\Cache\\ABCD1234\\picture[" + n + "].gif", 2048);
        cache.entries.back().lastModified = tw::FileTime::FromValue(133646112000000000ull + std::uint64_t(i));
    }
    tw::fakes::FakeClock clock;
    for (auto _ : state) {
        tw::ListModel cookies(clock), cacheList(clock);
        tw::ListModelRows cookieRows(cookies), cacheRows(cacheList);
        for (const tw::Column& c : tw::LiveColumns(tw::EntryKind::Cookie)) {
            cookieRows.AddColumn(c);
            cacheRows.AddColumn(c);
        }
        tw::FillCookieAndCacheLists(cache, cookieRows, cacheRows, "dd.MM.yyyy");
        benchmark::DoNotOptimize(cookies.RowCount() + cacheList.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StartUpFill)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
