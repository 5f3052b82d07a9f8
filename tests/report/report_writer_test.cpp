#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "report/help.h"
#include "report/report_writer.h"
#include "report/save_report.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

const FileTime kJuly5th2024 = FileTime::FromValue(133646112000000000ull);

// The bytes of a file, or "none" without one.
std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return in.is_open() ? s.str() : "none";
}

template <typename Write>
std::string Written(Write write) {
    const std::string path = ::testing::TempDir() + "tidewell_written.html";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    write(f);
    std::fclose(f);
    return FileText(path);
}

PageEntry Page(const char* title, const std::string& url, FileTime visited, FileTime updated, FileTime expires) {
    PageEntry e;
    CopyField(e.title, title);
    CopyField(e.url, url.c_str());
    e.lastVisited = visited;
    e.lastUpdated = updated;
    e.expires = expires;
    return e;
}

FileEntry Item(const char* localFile, const char* url, std::uint32_t size, std::uint32_t hits) {
    FileEntry e;
    CopyField(e.localFile, localFile);
    CopyField(e.url, url);
    e.size = size;
    e.hitRate = hits;
    return e;
}

// Titles and names trimmed or untitled, long addresses cut at 90 of the page's own characters (not of the
// entities made of them), markup escaped, unknown dates, kept cookies marked in the Cookies report only.
TEST(ReportWriter, EachStoreMatchesItsGoldenFile) {
    const std::string url91 = "http://example.com/" + std::string(72, 'a');
    EntryArray<PageEntry> pages, none;
    pages.Append(Page("  Example & Co\t", " http://example.com/ ", kJuly5th2024, FileTime(), FileTime()));
    pages.Append(Page(" \r\n ", url91.substr(0, 90), FileTime(), kJuly5th2024, FileTime()));
    pages.Append(Page("<script>alert(\"x\")</script>", url91, FileTime(), FileTime(),
                      FileTime::FromValue(2650466880000000000ull)));
    pages.Append(Page("\v\f'd'", std::string(89, 'x') + "&&", FileTime::FromValue(0x8000000000000000ull),
                      FileTime::FromValue(~0ull), FileTime()));
    EntryArray<FileEntry> cookies, cache;
    FileEntry a = Item("C:\\Users\\u\\Cookies\\user@example[1].txt", "Cookie:user@example.com/", 123, 4);
    a.expire = kJuly5th2024;
    cookies.Append(a);
    cookies.Append(Item("C:\\Users\\u\\Cookies\\", "Cookie:user@other.example/", 1, 0));
    cookies.Append(Item("C:\\a\\  name.txt ", "Cookie:bob@www.example.com/", 10, 0));
    cookies.Append(Item("nofolder.txt", "Cookie:bob@x.com/", 1, 0));
    cache.Append(Item("C:\\c\\x.htm", "Visited: u@http://example.com/", 10, 1));  // left out, as are cookies
    FileEntry logo = Item("C:\\Cache\\ABC\\logo.gif", "http://example.com/logo.gif", 4096, 4294967295u);
    logo.lastModified = logo.lastAccess = kJuly5th2024;
    cache.Append(logo);
    cache.Append(Item("C:\\c\\y.txt", "http://x/?Cookie:y", 10, 1));
    const KeptCookieTest kept = [](const FileEntry& e) { return e.size == 10; };
    const std::pair<std::string, const char*> cases[] = {
        {Written([&](auto f) { WriteReport(f, pages, "dd/MM/yyyy"); }), "history.html"},
        {Written([&](auto f) { WriteReport(f, ReportKind::Cookies, cookies, "dd/MM/yyyy", kept); }), "cookies.html"},
        {Written([&](auto f) { WriteReport(f, ReportKind::Cache, cache, "dd/MM/yyyy", kept); }), "cache.html"},
        {Written([&](auto f) { WriteReport(f, none, "dd.MM.yyyy"); }), "empty_history.html"},
        {ReportHead(ReportKind::History) + ReportTail(), "empty_history.html"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.first, FileText(std::string(TW_GOLDEN_DIR) + "/" + c.second)) << c.second;
}

// Answers the dialog with path (none when empty) and keeps the last request.
struct Dialogs : FileDialogs {
    std::string path;
    FileDialogRequest last;
    bool Run(const FileDialogRequest& request, std::string* chosen) override {
        last = request;
        *chosen = path;
        return !path.empty();
    }
};

int theOwner;

// A request in one line: kind, name, extension, flags, filter (its zeros shown as "|") and owner.
std::string Described(const FileDialogRequest& r) {
    std::string filter = FilterString(r);
    std::replace(filter.begin(), filter.end(), '\0', '|');
    return std::string(r.save ? "save " : "open ") + r.initialName + " ." + r.defaultExtension + " " +
           std::to_string(r.flags) + " " + filter + (r.owner == &theOwner ? " owned" : "");
}

class SaveReportTest : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path.c_str()); }
    bool Save(ReportKind kind) { return SaveReport(kind, dialogs, {history, cache}, "dd.MM.yyyy", &theOwner); }
    const std::string path = ::testing::TempDir() + "tidewell_report_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".html";
    Dialogs dialogs;
    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
};

TEST_F(SaveReportTest, EachKindAsksWithItsOwnNameAndReadsItsOwnStore) {
    history.Add("http://visited.example/", "Visited page");
    cache.Add("Cookie:me@cookie.example/", "C:\\Cookies\\me@cookie[1].txt", 50);
    cache.Add("http://cached.example/a.gif", "C:\\Cache\\a.gif", 60);
    cache.Add("Visited: me@http://visited.example/", "C:\\h", 70);
    std::FILE* f = std::fopen(path.c_str(), "wb");  // an existing file is replaced whole
    std::fputs(std::string(100000, 'j').c_str(), f);
    std::fclose(f);
    dialogs.path = "  " + path + " ";
    for (auto [kind, name, present, absent] :
         {std::tuple{ReportKind::History, "history", "http://visited.example/", "cached.example"},
          {ReportKind::Cache, "cache", "http://cached.example/a.gif", "Cookie:"},
          {ReportKind::Cookies, "cookies", "Cookie:me@cookie.example/", "cached.example"}}) {
        ASSERT_TRUE(Save(kind)) << name;
        EXPECT_EQ(Described(dialogs.last), "save " + std::string(name) + " .html 6 HTML Files (*.html)|*.html|| owned");
        const std::string text = FileText(path), heading = std::string("<h2>") + ReportHeading(kind) + "</h2>";
        for (const std::string& shown : {std::string(present), heading}) EXPECT_NE(text.find(shown), std::string::npos);
        for (const char* left : {absent, "jj"}) EXPECT_EQ(text.find(left), std::string::npos);
    }
    EXPECT_EQ(history.liveStores + cache.openSearches, 0);
}

TEST_F(SaveReportTest, FailuresWriteNothing) {
    for (auto [chosen, noHistory, kind] :
         {std::tuple{std::string(), false, ReportKind::Cache}, {std::string(" \t "), false, ReportKind::Cache},
          {path, true, ReportKind::History}, {::testing::TempDir() + "none/x.html", false, ReportKind::Cookies}}) {
        dialogs.path = chosen;
        history.failCreate = noHistory;
        EXPECT_FALSE(Save(kind)) << '"' << chosen << '"';
        EXPECT_EQ(FileText(path), "none") << '"' << chosen << '"';
    }
}

TEST(FileDialogRequests, TheirParametersAndStructureSizes) {
    EXPECT_EQ(Described(IndexFileDialogRequest(&theOwner)),
              "open index.dat .dat 268435460 IE History Files (*.dat)|*.dat|| owned");  // hidden files shown
    EXPECT_EQ(Described(IconFileDialogRequest(nullptr)), "open  .ico 4 Icon Files (*.ico)|*.ico||");
    for (auto [platform, major, minor, size] : {std::tuple{2u, 5u, 0u, 88u}, {2u, 10u, 0u, 88u}, {2u, 4u, 0u, 76u},
                                                {1u, 4u, 90u, 88u}, {1u, 4u, 10u, 76u}, {1u, 5u, 0u, 88u},
                                                {0u, 0u, 0u, 76u}})
        EXPECT_EQ(OpenFileNameSize(platform, major, minor), size) << platform << " " << major << "." << minor;
}

TEST(HelpLaunchers, OpenTheFileBesideTheModuleAndThePages) {
    EXPECT_EQ(HelpFilePath("band.dll"), "band.dll\\Tidewell.chm");
    fakes::FakeShell shell;
    shell.moduleFileName = "C:\\T\\Tidewell.dll";
    OpenHelp(shell);
    OpenOnlineHelp(shell);
    OpenWebPage(shell);
    EXPECT_EQ(shell.executed, (std::vector<std::pair<std::string, std::string>>{
                                  {"C:\\T\\Tidewell.chm", ""}, {"iexplore.exe", kOnlineHelpAddress},
                                  {"iexplore.exe", kHomePageAddress}}));
}

}  // namespace
}  // namespace tw
