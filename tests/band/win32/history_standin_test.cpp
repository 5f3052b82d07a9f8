// The demo's stand-in for the browser's history store, loaded by path from
// a private folder with its own history.txt, never registered, so that the
// tree's prefix keeps Wine's store.
#include <windows.h>
#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tw {
namespace test {
namespace {

std::wstring WindowsPathOf(const char* path) {
    std::wstring out;
    if (path[0] == '/') out = L"Z:";
    for (const char* p = path; *p; ++p) out += wchar_t(*p == '/' ? '\\' : (unsigned char)*p);
    return out;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\') + 1); }

std::string ReadAll(const std::wstring& path) {
    std::string text;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
    CloseHandle(f);
    return text;
}

bool WriteAll(const std::wstring& path, const std::string& text) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    return CloseHandle(f) && ok;
}

std::uint64_t Ticks(const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

std::uint64_t TicksOfDay(WORD year, WORD month, WORD day) {
    SYSTEMTIME s = {};
    s.wYear = year;
    s.wMonth = month;
    s.wDay = day;
    FILETIME t = {};
    EXPECT_TRUE(SystemTimeToFileTime(&s, &t));
    return Ticks(t);
}

const std::uint64_t kDay = 864000000000ULL;

struct Seen {
    std::wstring url;
    bool hasTitle;
    std::wstring title;
    std::uint64_t visited, updated, expires;
};

// Everything the enumerator yields, one Next at a time as Tidewell reads it.
std::vector<Seen> Drain(IEnumSTATURL* e) {
    std::vector<Seen> out;
    for (int guard = 0; guard < 10000; ++guard) {
        STATURL stat = {};
        stat.cbSize = sizeof stat;
        ULONG fetched = 0;
        const HRESULT hr = e->Next(1, &stat, &fetched);
        if (fetched == 0) {
            EXPECT_EQ(hr, S_FALSE);
            break;
        }
        EXPECT_EQ(hr, S_OK);
        out.push_back({stat.pwcsUrl ? stat.pwcsUrl : L"<null>", stat.pwcsTitle != nullptr,
                       stat.pwcsTitle ? stat.pwcsTitle : L"", Ticks(stat.ftLastVisited), Ticks(stat.ftLastUpdated),
                       Ticks(stat.ftExpires)});
        CoTaskMemFree(stat.pwcsUrl);
        CoTaskMemFree(stat.pwcsTitle);
    }
    return out;
}

std::vector<std::wstring> Urls(const std::vector<Seen>& pages) {
    std::vector<std::wstring> urls;
    for (const Seen& p : pages) urls.push_back(p.url);
    return urls;
}

// One copy of the module for the whole program, in a folder of its own.
struct Copy {
    std::wstring folder, module, pages, sample;
    HMODULE handle = nullptr;
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};

Copy& TheCopy() {
    static Copy copy = [] {
        Copy c;
        const char* built = std::getenv("TW_HISTORY_MODULE");
        if (!built) return c;
        const std::wstring source = WindowsPathOf(built);
        c.sample = ReadAll(FolderOf(source) + L"history.txt").empty() ? L"" : FolderOf(source) + L"history.txt";
        wchar_t temp[MAX_PATH];
        if (!GetTempPathW(MAX_PATH, temp)) return c;
        c.folder = std::wstring(temp) + L"tw-history-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(c.folder.c_str(), nullptr);
        c.module = c.folder + L"tidewell-history.dll";
        c.pages = c.folder + L"history.txt";
        if (!CopyFileW(source.c_str(), c.module.c_str(), FALSE)) return c;
        c.handle = LoadLibraryW(c.module.c_str());
        if (!c.handle) return c;
        c.getClassObject = reinterpret_cast<decltype(c.getClassObject)>(
            reinterpret_cast<void*>(GetProcAddress(c.handle, "DllGetClassObject")));
        c.canUnloadNow = reinterpret_cast<decltype(c.canUnloadNow)>(
            reinterpret_cast<void*>(GetProcAddress(c.handle, "DllCanUnloadNow")));
        return c;
    }();
    return copy;
}

class HistoryStandIn : public ::testing::Test {
protected:
    static void TearDownTestSuite() {
        Copy& c = TheCopy();
        if (c.handle) FreeLibrary(c.handle);
        c.handle = nullptr;
        DeleteFileW(c.pages.c_str());
        DeleteFileW((c.pages + L".new").c_str());
        DeleteFileW(c.module.c_str());
        RemoveDirectoryW(c.folder.c_str());
    }
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_NE(TheCopy().handle, nullptr) << "TW_HISTORY_MODULE does not name a loadable tidewell-history.dll";
        ASSERT_NE(TheCopy().getClassObject, nullptr);
        ASSERT_NE(TheCopy().canUnloadNow, nullptr);
        ASSERT_EQ(TheCopy().canUnloadNow(), S_OK);
        DeleteFileW(TheCopy().pages.c_str());
    }
    void TearDown() override {
        if (store_) store_->Release();
        if (TheCopy().canUnloadNow) {
            EXPECT_EQ(TheCopy().canUnloadNow(), S_OK) << "a reference leaked";
        }
        CoUninitialize();
    }

    void WritePages(const std::string& text) { ASSERT_TRUE(WriteAll(TheCopy().pages, text)); }
    std::string Pages() { return ReadAll(TheCopy().pages); }

    IUrlHistoryStg2* Store() {
        if (store_) return store_;
        IClassFactory* factory = nullptr;
        EXPECT_EQ(TheCopy().getClassObject(CLSID_CUrlHistory, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  S_OK);
        if (!factory) return nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUrlHistoryStg2, reinterpret_cast<void**>(&store_)), S_OK);
        factory->Release();
        return store_;
    }

    IEnumSTATURL* Enum() {
        IEnumSTATURL* e = nullptr;
        if (!Store()) return nullptr;
        EXPECT_EQ(store_->EnumUrls(&e), S_OK);
        return e;
    }

    std::vector<Seen> All() {
        IEnumSTATURL* e = Enum();
        if (!e) return {};
        std::vector<Seen> pages = Drain(e);
        e->Release();
        return pages;
    }

private:
    IUrlHistoryStg2* store_ = nullptr;
};

const char kThreePages[] =
    "http://a.example.com/\tFirst page\t2024-05-02\n"
    "https://b.example.org/x?y=1\t\t2024-02-29\r\n"
    "http://c.example.com/p\tUmlaut \xC3\xBC and more\t1601-01-01";

TEST_F(HistoryStandIn, YieldsThePagesInFileOrderWithTheirTimes) {
    WritePages(kThreePages);
    const std::vector<Seen> pages = All();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].url, L"http://a.example.com/");
    EXPECT_TRUE(pages[0].hasTitle);
    EXPECT_EQ(pages[0].title, L"First page");
    EXPECT_EQ(pages[0].visited, TicksOfDay(2024, 5, 2));
    EXPECT_EQ(pages[1].url, L"https://b.example.org/x?y=1");
    EXPECT_FALSE(pages[1].hasTitle) << "an empty title is no title";
    EXPECT_EQ(pages[1].visited, TicksOfDay(2024, 2, 29));
    EXPECT_EQ(pages[2].title, L"Umlaut \u00FC and more");
    EXPECT_EQ(pages[2].visited, 0u);
    for (const Seen& p : pages) {
        EXPECT_EQ(p.updated, p.visited);
        EXPECT_EQ(p.expires, p.visited + 20 * kDay);
    }
}

TEST_F(HistoryStandIn, SkipsLinesThatAreNotPages) {
    const std::string longUrl = "http://long.example.com/" + std::string(5000, 'x');
    const struct {
        const char* why;
        std::string line;
    } kMalformed[] = {
        {"no tabs", "http://no-tabs.example.com/ 2024-05-02\n"},
        {"one tab", "http://one-tab.example.com/\t2024-05-02\n"},
        {"four fields", "http://four.example.com/\tT\t2024-05-02\textra\n"},
        {"empty URL", "\tNo URL\t2024-05-02\n"},
        {"no date", "http://no-date.example.com/\tT\t\n"},
        {"date with time", "http://time.example.com/\tT\t2024-05-02 10:00\n"},
        {"30 February", "http://feb.example.com/\tT\t2024-02-30\n"},
        {"29 February of a common year", "http://feb.example.com/\tT\t2023-02-29\n"},
        {"month 13", "http://month.example.com/\tT\t2024-13-01\n"},
        {"before 1601", "http://old.example.com/\tT\t1600-12-31\n"},
        {"signed day", "http://sign.example.com/\tT\t2024-05-+2\n"},
        {"invalid UTF-8", "http://bad.example.com/\t\xC3(\t2024-05-02\n"},
        {"carriage return inside", "http://cr.example.com/\tT\r\t2024-05-02\n"},
        {"longer than a line may be", longUrl + "\tT\t2024-05-02\n"},
        {"blank", "\n"},
    };
    for (const auto& bad : kMalformed) {
        SCOPED_TRACE(bad.why);
        WritePages("\xEF\xBB\xBFhttp://good.example.com/\tGood\t2024-05-02\n" + bad.line +
                   "http://after.example.com/\tAfter\t2024-05-03\n");
        EXPECT_EQ(Urls(All()), (std::vector<std::wstring>{L"http://good.example.com/", L"http://after.example.com/"}));
    }
}

TEST_F(HistoryStandIn, DeletedPageIsGoneFromTheNextEnumerationAndTheFile) {
    const std::string text = std::string("# notes stay\n") + kThreePages;
    WritePages(text);
    IEnumSTATURL* before = Enum();
    ASSERT_NE(before, nullptr);
    ASSERT_EQ(Store()->DeleteUrl(L"https://b.example.org/x?y=1", 0), S_OK);
    EXPECT_EQ(Urls(All()), (std::vector<std::wstring>{L"http://a.example.com/", L"http://c.example.com/p"}));
    EXPECT_EQ(Pages(), "# notes stay\n"
                       "http://a.example.com/\tFirst page\t2024-05-02\n"
                       "http://c.example.com/p\tUmlaut \xC3\xBC and more\t1601-01-01");
    // An enumeration already under way keeps what it saw.
    EXPECT_EQ(Drain(before).size(), 3u);
    before->Release();
}

TEST_F(HistoryStandIn, DeleteOfAnUnknownUrlChangesNothing) {
    WritePages(kThreePages);
    EXPECT_TRUE(FAILED(Store()->DeleteUrl(L"http://a.example.com", 0))) << "the match is exact";
    EXPECT_TRUE(FAILED(Store()->DeleteUrl(L"HTTP://A.EXAMPLE.COM/", 0)));
    EXPECT_EQ(Store()->DeleteUrl(nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(Pages(), kThreePages);
}

TEST_F(HistoryStandIn, AddUrlAppendsOrMovesThePageWithTodaysDate) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    const std::uint64_t today = TicksOfDay(now.wYear, now.wMonth, now.wDay);

    WritePages(kThreePages);  // its last line has no line break
    ASSERT_EQ(Store()->AddUrl(L"http://new.example.com/", L"New\tpage", 0), S_OK);
    ASSERT_EQ(Store()->AddUrl(L"http://a.example.com/", L"First again", 0), S_OK);
    std::vector<Seen> pages = All();
    ASSERT_EQ(Urls(pages), (std::vector<std::wstring>{L"https://b.example.org/x?y=1", L"http://c.example.com/p",
                                                      L"http://new.example.com/", L"http://a.example.com/"}));
    EXPECT_EQ(pages[2].title, L"New page");
    EXPECT_EQ(pages[3].title, L"First again");
    EXPECT_EQ(pages[3].visited, today);

    EXPECT_EQ(Store()->AddUrl(L"http://bad.example.com/\tx", L"T", 0), E_INVALIDARG);
    EXPECT_EQ(Store()->AddUrl(L"", L"T", 0), E_INVALIDARG);
    EXPECT_EQ(All().size(), 4u);
}

TEST_F(HistoryStandIn, AddUrlMakesTheMissingFile) {
    EXPECT_TRUE(All().empty());
    ASSERT_EQ(Store()->AddUrl(L"http://first.example.com/", nullptr, 0), S_OK);
    const std::vector<Seen> pages = All();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_FALSE(pages[0].hasTitle);
}

TEST_F(HistoryStandIn, ClearHistoryEmptiesTheStore) {
    WritePages(kThreePages);
    EXPECT_EQ(Store()->ClearHistory(), S_OK);
    EXPECT_TRUE(All().empty());
}

TEST_F(HistoryStandIn, OversizedFileIsNeitherReadNorRewritten) {
    std::string text = kThreePages;
    text += "\n" + std::string(1024 * 1024, '#');
    WritePages(text);
    IEnumSTATURL* e = nullptr;
    EXPECT_TRUE(FAILED(Store()->EnumUrls(&e)));
    EXPECT_EQ(e, nullptr);
    EXPECT_TRUE(FAILED(Store()->DeleteUrl(L"http://a.example.com/", 0)));
    EXPECT_TRUE(FAILED(Store()->AddUrl(L"http://z.example.com/", L"Z", 0)));
    EXPECT_EQ(Pages().size(), text.size());
}

TEST_F(HistoryStandIn, EnumeratorProtocol) {
    WritePages(kThreePages);
    IEnumSTATURL* e = Enum();
    ASSERT_NE(e, nullptr);
    STATURL stats[4] = {};
    ULONG fetched = 7;
    EXPECT_EQ(e->Next(2, stats, nullptr), E_INVALIDARG);
    EXPECT_EQ(e->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(e->Next(2, stats, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    IEnumSTATURL* clone = nullptr;
    ASSERT_EQ(e->Clone(&clone), S_OK);
    EXPECT_EQ(e->Next(4, stats + 2, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(std::wstring(stats[2].pwcsUrl), L"http://c.example.com/p");
    for (STATURL& s : stats) {
        CoTaskMemFree(s.pwcsUrl);
        CoTaskMemFree(s.pwcsTitle);
    }
    EXPECT_EQ(Urls(Drain(clone)), (std::vector<std::wstring>{L"http://c.example.com/p"})) << "the clone keeps its place";

    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(1), S_OK);
    EXPECT_EQ(Urls(Drain(e)), (std::vector<std::wstring>{L"https://b.example.org/x?y=1", L"http://c.example.com/p"}));
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(5), S_FALSE);

    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->SetFilter(L"HTTP://", 0), S_OK);
    EXPECT_EQ(Urls(Drain(e)), (std::vector<std::wstring>{L"http://a.example.com/", L"http://c.example.com/p"}));

    // Enumerators hold the module, even after the store is gone.
    EXPECT_EQ(TheCopy().canUnloadNow(), S_FALSE);
    e->Release();
    clone->Release();
}

TEST_F(HistoryStandIn, QueryUrl) {
    WritePages(kThreePages);
    STATURL stat = {};
    stat.cbSize = sizeof stat;
    ASSERT_EQ(Store()->QueryUrl(L"http://c.example.com/p", 0, &stat), S_OK);
    EXPECT_EQ(std::wstring(stat.pwcsUrl), L"http://c.example.com/p");
    EXPECT_EQ(std::wstring(stat.pwcsTitle), L"Umlaut \u00FC and more");
    CoTaskMemFree(stat.pwcsUrl);
    CoTaskMemFree(stat.pwcsTitle);
    EXPECT_EQ(Store()->QueryUrl(L"http://a.example.com/", 0, nullptr), S_OK);
    EXPECT_TRUE(FAILED(Store()->QueryUrl(L"http://none.example.com/", 0, nullptr)));
}

TEST_F(HistoryStandIn, ClassObjectAndInterfaces) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(TheCopy().getClassObject(IID_IUnknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(TheCopy().getClassObject(CLSID_CUrlHistory, IID_IClassFactory, nullptr), E_POINTER);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(TheCopy().getClassObject(CLSID_CUrlHistory, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    EXPECT_EQ(TheCopy().canUnloadNow(), S_FALSE);
    int outer = 0;  // never called: aggregation is refused first
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(&outer), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(TheCopy().canUnloadNow(), S_FALSE) << "a server lock holds the module";
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);

    IUrlHistoryStg* first = nullptr;
    ASSERT_EQ(Store()->QueryInterface(IID_IUrlHistoryStg, reinterpret_cast<void**>(&first)), S_OK);
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    ASSERT_EQ(first->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a)), S_OK);
    ASSERT_EQ(Store()->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b)), S_OK);
    EXPECT_EQ(a, b);
    a->Release();
    b->Release();
    first->Release();
}

TEST_F(HistoryStandIn, SamplePagesForTheDemo) {
    ASSERT_FALSE(TheCopy().sample.empty()) << "history.txt is not beside the built module";
    WritePages(ReadAll(TheCopy().sample));
    const std::vector<Seen> pages = All();
    EXPECT_EQ(pages.size(), 8u);
    int secure = 0, untitled = 0;
    for (const Seen& p : pages) {
        secure += p.url.compare(0, 8, L"https://") == 0;
        untitled += !p.hasTitle;
        EXPECT_GT(p.visited, TicksOfDay(2000, 1, 1)) << p.url.c_str();
    }
    EXPECT_GE(secure, 1);
    EXPECT_EQ(untitled, 1);
    ASSERT_EQ(Store()->DeleteUrl(pages[0].url.c_str(), 0), S_OK);
    EXPECT_EQ(All().size(), 7u);
}

}  // namespace
}  // namespace test
}  // namespace tw
