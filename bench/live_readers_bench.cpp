// Reading a large live cache through the seam, and formatting dates for
// the lists: the two costs of filling the Cookies and Cache tabs.
#include <benchmark/benchmark.h>

#include <string>

#include "core/live_readers.h"
#include "settings/date_format.h"
#include "tests/fakes/fake_url_cache.h"

namespace {

void BM_EnumerateFakeCache(benchmark::State& state) {
    tw::fakes::FakeUrlCache cache;
    for (int i = 0; i < state.range(0); ++i)
        cache.Add("http://www.example.com/images/" + std::to_string(i) + "/picture.gif",
                  "C:\\Cache\\ABCD1234\\picture[" + std::to_string(i) + "].gif", 2048);
    for (auto _ : state) {
        tw::EntryArray<tw::FileEntry> entries;
        tw::EnumerateUrlCache(cache, tw::kContentPattern, entries);
        benchmark::DoNotOptimize(entries.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EnumerateFakeCache)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FormatDates(benchmark::State& state) {
    const std::string templates[] = {"dd.MM.yyyy", "d/M/yy", "yyyy-MM-dd"};
    const std::string& t = templates[state.range(0)];
    for (auto _ : state) {
        std::size_t total = 0;
        for (int i = 0; i < 1000000; ++i) {
            const tw::CivilDate d{1990 + i % 40, 1 + i % 12, 1 + i % 28};
            total += tw::FormatDate(t, d).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_FormatDates)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_DateTextOfTimestamps(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t total = 0;
        for (int i = 0; i < 1000000; ++i) {
            const tw::FileTime t = tw::FileTime::FromValue(130000000000000000ull + std::uint64_t(i) * 864000000000ull / 97);
            total += tw::DateText(t, "dd.MM.yyyy", tw::UnknownDates::UpTo1601).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_DateTextOfTimestamps)->Unit(benchmark::kMillisecond);

// The same cells as a fill makes them: one day cache for the whole fill.
// Arg 97 packs about 97 times into a day (a busy cache); arg 1 gives every
// cell a day of its own, the worst case for the cache.
void BM_DateTextsOfAFill(benchmark::State& state) {
    const std::uint64_t perDay = std::uint64_t(state.range(0));
    for (auto _ : state) {
        tw::DateTexts dates("dd.MM.yyyy");
        std::size_t total = 0;
        for (int i = 0; i < 1000000; ++i) {
            const tw::FileTime t = tw::FileTime::FromValue(130000000000000000ull + std::uint64_t(i) * 864000000000ull / perDay);
            total += dates.Text(t, tw::UnknownDates::UpTo1601).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_DateTextsOfAFill)->Arg(97)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
