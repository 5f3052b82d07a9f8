// Each cleanup criterion over a fake store of 100,000 items, as a real run
// and as a preview, which notes what it would delete instead. The fakes
// keep their items on deletion, so that every iteration does the same work:
// all passes of the criterion enumerate and test the whole store.
#include <benchmark/benchmark.h>

#include <string>

#include "clean/cleanup.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace {

const int kItems = 100000;

class KeepingCache : public tw::fakes::FakeUrlCache {
public:
    bool DeleteEntry(const char*, long*) override {
        ++deletions;
        return true;
    }
    long long deletions = 0;
};

const char* const kEndings[] = {"/index.html", "/pic.jpg", "/pic.JPG?x=1", "/style.css", "/app.js",
                                "/page.php?id=7", "/setup.zip", "/photo.gif", "/doc.pdf", "/feed.xml"};

std::string Address(int i) {
    return "http://www" + std::to_string(i % 997) + ".example.com/section/" + std::to_string(i) + kEndings[i % 10];
}

struct Stores {
    KeepingCache cache;
    tw::fakes::FakeHistory history;
    tw::fakes::FakeFileSystem files;  // no special folders: the purges find nothing
    tw::fakes::FakeClock clock;

    // Cache store: content, with a share of cookies and history items in
    // their own containers beside it; cookie store: cookies only.
    explicit Stores(std::int32_t store) {
        clock.now = tw::FileTime::FromValue(50000);
        for (int i = 0; i < kItems; ++i) {
            const tw::FileTime t = tw::FileTime::FromValue(std::uint64_t(i));
            if (store == tw::kStoreHistory) {
                history.Add(Address(i), "A page title").lastUpdated = t;
            } else if (store == tw::kStoreCookies) {
                auto& e = cache.Add("Cookie:bench@www" + std::to_string(i) + ".example.com/", "bench@x[1].txt");
                e.lastAccess = e.expire = t;
            } else {
                const int k = i % 20;
                const std::string url = k == 0 ? "Cookie:bench@www" + std::to_string(i) + ".example.com/"
                                        : k == 1 ? "Visited: bench@" + Address(i) : Address(i);
                cache.Add(url, "file[1].htm").lastAccess = t;
            }
        }
    }
};

struct Lists : tw::ListRebuilder {
    void ShowStore(std::int32_t) override {}
    void RebuildList(std::int32_t) override {}
};

void RunCriterion(benchmark::State& state, std::int32_t store, std::int32_t kind, const char* text, bool preview) {
    static Stores* built[4] = {};
    if (!built[store])
        built[store] = new Stores(store);
    Stores& s = *built[store];
    tw::Cleaner cleaner(s.history, s.cache, s.files, s.clock);
    Lists lists;
    tw::CleanupCriteria c;
    c.kind = kind;
    c.store = store;
    tw::CopyField(c.text, text);
    c.from = tw::FileTime::FromValue(20000);
    c.to = tw::FileTime::FromValue(29999);
    long long deletions = 0;
    for (auto _ : state) {
        s.cache.deletions = 0;
        tw::CleanupJournal journal(true);
        if (preview)
            cleaner.Journal(&journal);
        tw::RunCleanup(c, cleaner, lists);
        deletions = preview ? (long long)journal.Outcome().deleted.size() : s.cache.deletions;
        state.PauseTiming();
        s.cache.sizesGiven.clear();
        s.cache.sizesGiven.shrink_to_fit();
        s.history.deleted.clear();
        state.ResumeTiming();
    }
    state.counters["deletions"] = double(deletions);
}

// The real run and its preview, side by side.
#define TW_CRITERION(name, store, kind, text)                                                                   \
    void BM_##name(benchmark::State& state) { RunCriterion(state, tw::store, tw::kind, text, false); }           \
    void BM_##name##Preview(benchmark::State& state) { RunCriterion(state, tw::store, tw::kind, text, true); }   \
    BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond);                                                        \
    BENCHMARK(BM_##name##Preview)->Unit(benchmark::kMillisecond)

TW_CRITERION(HistoryAll, kStoreHistory, kCleanAll, "");
TW_CRITERION(HistoryLocalLinks, kStoreHistory, kCleanLocalLinks, "");
TW_CRITERION(HistorySelectedProtocol, kStoreHistory, kCleanSelectedProtocol, "https:");
TW_CRITERION(HistoryContainingText, kStoreHistory, kCleanContainingText, "www5");
TW_CRITERION(HistoryBetweenDates, kStoreHistory, kCleanBetweenDates, "");
TW_CRITERION(CookiesAll, kStoreCookies, kCleanAll, "");
TW_CRITERION(CookiesExpired, kStoreCookies, kCleanExpiredCookies, "");
TW_CRITERION(CookiesContainingText, kStoreCookies, kCleanContainingText, "WWW5");
TW_CRITERION(CookiesBetweenDates, kStoreCookies, kCleanBetweenDates, "");
TW_CRITERION(CacheAll, kStoreCache, kCleanAll, "");
TW_CRITERION(CachePictures, kStoreCache, kCleanPictures, "");
TW_CRITERION(CacheArchives, kStoreCache, kCleanArchives, "");
TW_CRITERION(CacheStylesAndScripts, kStoreCache, kCleanStylesAndScripts, "");
TW_CRITERION(CachePagesAndOtherFiles, kStoreCache, kCleanPagesAndOtherFiles, "");
TW_CRITERION(CacheContainingText, kStoreCache, kCleanContainingText, "WWW5");
TW_CRITERION(CacheBetweenDates, kStoreCache, kCleanBetweenDates, "");

}  // namespace
