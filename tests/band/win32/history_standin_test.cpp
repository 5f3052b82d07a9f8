// The demo's stand-in for the browser's history store, loaded by path from
// a private folder with its own history.txt, never registered, so that the
// tree's prefix keeps Wine's store.
#include <windows.h>
#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

std::uint64_t Ticks(const FILETIME& t) { return (std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// Each page as "url|title|yyyy-mm-dd", "<none>" for no title; a page is
// visited at the start of its day, updated then and kept for 20 days.
std::vector<std::wstring> Drain(IEnumSTATURL* e) {
    const std::uint64_t day = 864000000000ULL;
    std::vector<std::wstring> out;
    STATURL s = {};
    s.cbSize = sizeof s;
    for (ULONG fetched = 0; out.size() < 10000; fetched = 0) {
        const HRESULT hr = e->Next(1, &s, &fetched);
        EXPECT_EQ(hr, fetched ? S_OK : S_FALSE);
        if (!fetched) break;
        const std::uint64_t visited = Ticks(s.ftLastVisited);
        EXPECT_EQ(std::vector<std::uint64_t>({visited % day, Ticks(s.ftLastUpdated), Ticks(s.ftExpires)}),
                  std::vector<std::uint64_t>({0, visited, visited + 20 * day}));
        SYSTEMTIME t = {};
        FileTimeToSystemTime(&s.ftLastVisited, &t);
        wchar_t date[16];
        swprintf(date, 16, L"%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
        out.push_back(std::wstring(s.pwcsUrl) + L"|" + (s.pwcsTitle ? s.pwcsTitle : L"<none>") + L"|" + date);
        CoTaskMemFree(s.pwcsUrl);
        CoTaskMemFree(s.pwcsTitle);
    }
    return out;
}

// The module, copied into a folder of the test's own with its pages.
class HistoryStandIn : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"tw-history-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        const std::wstring source = WindowsPathFromEnv("TW_HISTORY_MODULE"), copy = folder_ + L"tidewell-history.dll";
        if (!source.empty() && CopyFileW(source.c_str(), copy.c_str(), FALSE)) server_ = LoadModuleAt(copy);
    }
    static void TearDownTestSuite() {
        if (server_.handle) FreeLibrary(server_.handle);
        for (const wchar_t* f : {L"history.txt", L"history.txt.new", L"tidewell-history.dll"})
            DeleteFileW((folder_ + f).c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_TRUE(Server().getClassObject && Server().canUnloadNow) << "TW_HISTORY_MODULE names no module";
        ASSERT_EQ(Server().canUnloadNow(), S_OK);
        DeleteFileW(Pages().c_str());
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(Server().getClassObject(CLSID_CUrlHistory, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUrlHistoryStg2, store_.ReceiveVoid()), S_OK);
        ASSERT_TRUE(store_);
    }
    void TearDown() override {
        store_.Reset();
        if (Server().canUnloadNow) {
            EXPECT_EQ(Server().canUnloadNow(), S_OK) << "a reference leaked";
        }
        CoUninitialize();
    }
    static const Module& Server() { return server_; }
    static std::wstring Pages() { return folder_ + L"history.txt"; }
    void WritePages(const std::string& text) {
        std::ofstream(Narrow(Pages()), std::ios::binary) << text;
        ASSERT_EQ(PagesText(), text);
    }
    std::string PagesText() {
        std::ifstream in(Narrow(Pages()), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    std::vector<std::wstring> All() {
        ComPtr<IEnumSTATURL> e;
        EXPECT_EQ(store_->EnumUrls(e.Receive()), S_OK);
        return e ? Drain(e.Get()) : std::vector<std::wstring>();
    }
    ComPtr<IUrlHistoryStg2> store_;
    static inline std::wstring folder_;
    static inline Module server_;
};

const char kThreePages[] =
    "http://a.example.com/\tFirst page\t2024-05-02\n"
    "https://b.example.org/x?y=1\t\t2024-02-29\r\n"
    "http://c.example.com/p\tUmlaut \xC3\xBC and more\t1601-01-01";

TEST_F(HistoryStandIn, YieldsThePagesInFileOrderAndSkipsLinesThatAreNotPages) {
    WritePages(kThreePages);
    EXPECT_EQ(All(), (std::vector<std::wstring>{L"http://a.example.com/|First page|2024-05-02",
                                                L"https://b.example.org/x?y=1|<none>|2024-02-29",  // empty is no title
                                                L"http://c.example.com/p|Umlaut \u00FC and more|1601-01-01"}));
    const std::string bad[] = {
        "http://x/ 2024-05-02",           "http://x/\t2024-05-02",     "http://x/\tT\t2024-05-02\textra",
        "\tNo URL\t2024-05-02",           "http://x/\tT\t",            "http://x/\tT\t2024-05-02 10:00",
        "http://x/\tT\t2023-02-29",       "http://x/\tT\t1600-12-31",  "http://x/\tT\t2024-05-+2",
        "http://x/\t\xC3(\t2024-05-02",   "http://x/\tT\r\t2024-05-02", "",
        "http://x/" + std::string(5000, 'x') + "\tT\t2024-05-02"};
    for (const std::string& line : bad) {
        SCOPED_TRACE(line.substr(0, 40));
        WritePages("\xEF\xBB\xBFhttp://good/\tGood\t2024-05-02\n" + line + "\nhttp://after/\tAfter\t2024-05-03\n");
        EXPECT_EQ(All(),
                  (std::vector<std::wstring>{L"http://good/|Good|2024-05-02", L"http://after/|After|2024-05-03"}));
    }
}

// An enumeration under way keeps what it saw, and the module with it.
TEST_F(HistoryStandIn, DeleteAddAndClearRewriteTheFile) {
    WritePages(std::string("# notes stay\n") + kThreePages);
    ComPtr<IEnumSTATURL> before;
    ASSERT_EQ(store_->EnumUrls(before.Receive()), S_OK);
    ASSERT_EQ(store_->DeleteUrl(L"https://b.example.org/x?y=1", 0), S_OK);
    EXPECT_EQ(PagesText(), "# notes stay\nhttp://a.example.com/\tFirst page\t2024-05-02\n"
                       "http://c.example.com/p\tUmlaut \xC3\xBC and more\t1601-01-01");
    for (const wchar_t* unknown : {L"http://a.example.com", L"HTTP://A.EXAMPLE.COM/"})  // the match is exact
        EXPECT_TRUE(FAILED(store_->DeleteUrl(unknown, 0)));
    EXPECT_EQ(store_->DeleteUrl(nullptr, 0), E_INVALIDARG);

    SYSTEMTIME now;
    GetSystemTime(&now);
    wchar_t today[16];
    swprintf(today, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    ASSERT_EQ(store_->AddUrl(L"http://new.example.com/", L"New\tpage", 0), S_OK);
    ASSERT_EQ(store_->AddUrl(L"http://a.example.com/", nullptr, 0), S_OK);  // moves to the end
    EXPECT_EQ(store_->AddUrl(L"http://bad.example.com/\tx", L"T", 0), E_INVALIDARG);
    EXPECT_EQ(store_->AddUrl(L"", L"T", 0), E_INVALIDARG);
    EXPECT_EQ(All(), (std::vector<std::wstring>{L"http://c.example.com/p|Umlaut \u00FC and more|1601-01-01",
                                                std::wstring(L"http://new.example.com/|New page|") + today,
                                                std::wstring(L"http://a.example.com/|<none>|") + today}));
    EXPECT_EQ(store_->ClearHistory(), S_OK);
    EXPECT_TRUE(All().empty());
    DeleteFileW(Pages().c_str());
    ASSERT_EQ(store_->AddUrl(L"http://first.example.com/", nullptr, 0), S_OK);  // makes the missing file
    EXPECT_EQ(All().size(), 1u);
    store_.Reset();
    EXPECT_EQ(Server().canUnloadNow(), S_FALSE);
    EXPECT_EQ(Drain(before.Get()).size(), 3u);
}

}  // namespace
}  // namespace test
}  // namespace tw
