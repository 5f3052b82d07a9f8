// The demo's stand-in for the browser's history store, loaded by path from
// a private folder with its own history.txt, never registered, so that the
// tree's prefix keeps Wine's store.
#include <windows.h>
#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(Narrow(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::uint64_t Ticks(const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

std::uint64_t TicksOfDay(WORD year, WORD month, WORD day) {
    SYSTEMTIME s = {};
    s.wYear = year, s.wMonth = month, s.wDay = day;
    FILETIME t = {};
    EXPECT_TRUE(SystemTimeToFileTime(&s, &t));
    return Ticks(t);
}

struct Seen {
    std::wstring url, title;  // "<none>" for no title
    std::uint64_t visited, updated, expires;
};

std::vector<Seen> Drain(IEnumSTATURL* e) {
    std::vector<Seen> out;
    while (out.size() < 10000) {
        STATURL s = {};
        s.cbSize = sizeof s;
        ULONG fetched = 0;
        const HRESULT hr = e->Next(1, &s, &fetched);
        EXPECT_EQ(hr, fetched ? S_OK : S_FALSE);
        if (!fetched) break;
        out.push_back({s.pwcsUrl ? s.pwcsUrl : L"<null>", s.pwcsTitle ? s.pwcsTitle : L"<none>", Ticks(s.ftLastVisited),
                       Ticks(s.ftLastUpdated), Ticks(s.ftExpires)});
        CoTaskMemFree(s.pwcsUrl);
        CoTaskMemFree(s.pwcsTitle);
    }
    return out;
}

std::vector<std::wstring> Urls(const std::vector<Seen>& pages) {
    std::vector<std::wstring> urls;
    for (const Seen& p : pages) urls.push_back(p.url);
    return urls;
}

// The module, copied into a folder of the test's own with its pages.
struct Copy {
    std::wstring folder, module, pages;
    Module server;
};

Copy& TheCopy() {
    static Copy c = [] {
        Copy c;
        const std::wstring source = WindowsPathFromEnv("TW_HISTORY_MODULE");
        wchar_t temp[MAX_PATH];
        if (source.empty() || !GetTempPathW(MAX_PATH, temp)) return c;
        c.folder = std::wstring(temp) + L"tw-history-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(c.folder.c_str(), nullptr);
        c.module = c.folder + L"tidewell-history.dll";
        c.pages = c.folder + L"history.txt";
        if (CopyFileW(source.c_str(), c.module.c_str(), FALSE)) c.server = LoadModuleAt(c.module);
        return c;
    }();
    return c;
}

class HistoryStandIn : public ::testing::Test {
protected:
    static void TearDownTestSuite() {
        Copy& c = TheCopy();
        if (c.server.handle) FreeLibrary(c.server.handle);
        c.server = Module();
        for (const std::wstring& f : {c.pages, c.pages + L".new", c.module}) DeleteFileW(f.c_str());
        RemoveDirectoryW(c.folder.c_str());
    }
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(Server().getClassObject && Server().canUnloadNow) << "TW_HISTORY_MODULE names no module";
        ASSERT_EQ(Server().canUnloadNow(), S_OK);
        DeleteFileW(TheCopy().pages.c_str());
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(Server().getClassObject(CLSID_CUrlHistory, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUrlHistoryStg2, store_.ReceiveVoid()), S_OK);
        ASSERT_TRUE(store_);
    }
    void TearDown() override {
        store_.Reset();
        if (Server().canUnloadNow) EXPECT_EQ(Server().canUnloadNow(), S_OK) << "a reference leaked";
        CoUninitialize();
    }
    static const Module& Server() { return TheCopy().server; }
    void WritePages(const std::string& text) {
        std::ofstream(Narrow(TheCopy().pages), std::ios::binary) << text;
        ASSERT_EQ(Pages(), text);
    }
    std::string Pages() { return ReadAll(TheCopy().pages); }
    ComPtr<IEnumSTATURL> Enum() {
        ComPtr<IEnumSTATURL> e;
        EXPECT_EQ(store_->EnumUrls(e.Receive()), S_OK);
        return e;
    }
    std::vector<Seen> All() {
        const ComPtr<IEnumSTATURL> e = Enum();
        return e ? Drain(e.Get()) : std::vector<Seen>();
    }
    ComPtr<IUrlHistoryStg2> store_;
};

const char kThreePages[] =
    "http://a.example.com/\tFirst page\t2024-05-02\n"
    "https://b.example.org/x?y=1\t\t2024-02-29\r\n"
    "http://c.example.com/p\tUmlaut \xC3\xBC and more\t1601-01-01";

TEST_F(HistoryStandIn, YieldsThePagesInFileOrderAndSkipsLinesThatAreNotPages) {
    WritePages(kThreePages);
    const std::vector<Seen> pages = All();
    ASSERT_EQ(pages.size(), 3u);
    const struct {
        const wchar_t *url, *title;
        std::uint64_t visited;
    } expected[] = {{L"http://a.example.com/", L"First page", TicksOfDay(2024, 5, 2)},
                    {L"https://b.example.org/x?y=1", L"<none>", TicksOfDay(2024, 2, 29)},  // empty is no title
                    {L"http://c.example.com/p", L"Umlaut \u00FC and more", 0}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pages[i].url, expected[i].url);
        EXPECT_EQ(pages[i].title, expected[i].title);
        EXPECT_EQ(pages[i].visited, expected[i].visited);
        EXPECT_EQ(pages[i].updated, pages[i].visited);
        EXPECT_EQ(pages[i].expires, pages[i].visited + 20 * 864000000000ULL);
    }
    const std::string bad[] = {
        "http://x/ 2024-05-02",           "http://x/\t2024-05-02",  "http://x/\tT\t2024-05-02\textra",
        "\tNo URL\t2024-05-02",           "http://x/\tT\t",         "http://x/\tT\t2024-05-02 10:00",
        "http://x/\tT\t2024-02-30",       "http://x/\tT\t2023-02-29", "http://x/\tT\t2024-13-01",
        "http://x/\tT\t1600-12-31",       "http://x/\tT\t2024-05-+2", "http://x/\t\xC3(\t2024-05-02",
        "http://x/\tT\r\t2024-05-02",     "",
        "http://x/" + std::string(5000, 'x') + "\tT\t2024-05-02"};
    for (const std::string& line : bad) {
        SCOPED_TRACE(line.substr(0, 40));
        WritePages("\xEF\xBB\xBFhttp://good/\tGood\t2024-05-02\n" + line + "\nhttp://after/\tAfter\t2024-05-03\n");
        EXPECT_EQ(Urls(All()), (std::vector<std::wstring>{L"http://good/", L"http://after/"}));
    }
}

TEST_F(HistoryStandIn, DeleteAddAndClearRewriteTheFile) {
    WritePages(std::string("# notes stay\n") + kThreePages);
    const ComPtr<IEnumSTATURL> before = Enum();
    ASSERT_EQ(store_->DeleteUrl(L"https://b.example.org/x?y=1", 0), S_OK);
    EXPECT_EQ(Pages(), "# notes stay\nhttp://a.example.com/\tFirst page\t2024-05-02\n"
                       "http://c.example.com/p\tUmlaut \xC3\xBC and more\t1601-01-01");
    EXPECT_EQ(Drain(before.Get()).size(), 3u) << "an enumeration under way keeps what it saw";
    for (const wchar_t* unknown : {L"http://a.example.com", L"HTTP://A.EXAMPLE.COM/"})  // the match is exact
        EXPECT_TRUE(FAILED(store_->DeleteUrl(unknown, 0)));
    EXPECT_EQ(store_->DeleteUrl(nullptr, 0), E_INVALIDARG);

    SYSTEMTIME now;
    GetSystemTime(&now);
    ASSERT_EQ(store_->AddUrl(L"http://new.example.com/", L"New\tpage", 0), S_OK);
    ASSERT_EQ(store_->AddUrl(L"http://a.example.com/", L"First again", 0), S_OK);  // moves to the end
    EXPECT_EQ(store_->AddUrl(L"http://bad.example.com/\tx", L"T", 0), E_INVALIDARG);
    EXPECT_EQ(store_->AddUrl(L"", L"T", 0), E_INVALIDARG);
    const std::vector<Seen> pages = All();
    ASSERT_EQ(Urls(pages), (std::vector<std::wstring>{L"http://c.example.com/p", L"http://new.example.com/",
                                                      L"http://a.example.com/"}));
    EXPECT_EQ(pages[1].title, L"New page");
    EXPECT_EQ(pages[2].visited, TicksOfDay(now.wYear, now.wMonth, now.wDay));
    EXPECT_EQ(store_->ClearHistory(), S_OK);
    EXPECT_TRUE(All().empty());
    DeleteFileW(TheCopy().pages.c_str());
    ASSERT_EQ(store_->AddUrl(L"http://first.example.com/", nullptr, 0), S_OK);  // makes the missing file
    EXPECT_EQ(All().size(), 1u);
}

TEST_F(HistoryStandIn, OversizedFileIsNeitherReadNorRewritten) {
    const std::string text = kThreePages + std::string("\n") + std::string(1024 * 1024, '#');
    WritePages(text);
    IEnumSTATURL* e = reinterpret_cast<IEnumSTATURL*>(1);
    EXPECT_TRUE(FAILED(store_->EnumUrls(&e)));
    EXPECT_EQ(e, nullptr);
    EXPECT_TRUE(FAILED(store_->DeleteUrl(L"http://a.example.com/", 0)));
    EXPECT_TRUE(FAILED(store_->AddUrl(L"http://z.example.com/", L"Z", 0)));
    EXPECT_EQ(Pages().size(), text.size());
}

TEST_F(HistoryStandIn, EnumeratorAndQueryProtocol) {
    WritePages(kThreePages);
    ComPtr<IEnumSTATURL> e = Enum(), clone;
    STATURL stats[4] = {};
    ULONG fetched = 7;
    EXPECT_EQ(e->Next(2, stats, nullptr), E_INVALIDARG);
    EXPECT_EQ(e->Next(1, nullptr, &fetched), E_POINTER);
    EXPECT_EQ(e->Next(2, stats, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    ASSERT_EQ(e->Clone(clone.Receive()), S_OK);
    EXPECT_EQ(e->Next(4, stats + 2, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    for (STATURL& s : stats) CoTaskMemFree(s.pwcsUrl), CoTaskMemFree(s.pwcsTitle);
    EXPECT_EQ(Urls(Drain(clone.Get())), (std::vector<std::wstring>{L"http://c.example.com/p"})) << "the clone keeps its place";
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(1), S_OK);
    EXPECT_EQ(Drain(e.Get()).size(), 2u);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(5), S_FALSE);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->SetFilter(L"HTTP://", 0), S_OK);
    EXPECT_EQ(Urls(Drain(e.Get())), (std::vector<std::wstring>{L"http://a.example.com/", L"http://c.example.com/p"}));
    store_.Reset();
    EXPECT_EQ(Server().canUnloadNow(), S_FALSE) << "enumerators hold the module after the store is gone";
}

}  // namespace
}  // namespace test
}  // namespace tw
