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

// The bytes of a file, or "none" without one.
std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return in.is_open() ? s.str() : "none";
}

int theOwner;  // the window that owns a dialog
// A request in one line: kind, name, extension, flags, filter (its zeros shown as "|") and owner.
std::string Described(const FileDialogRequest& r) {
    std::string filter = FilterString(r);
    std::replace(filter.begin(), filter.end(), '\0', '|');
    return std::string(r.save ? "save " : "open ") + r.initialName + " ." + r.defaultExtension + " " +
           std::to_string(r.flags) + " " + filter + (r.owner == &theOwner ? " owned" : "");
}

// The test answers the file dialog with chosenPath (none when empty) and keeps the last request.
class SaveReportTest : public ::testing::Test, public FileDialogs {
protected:
    bool Run(const FileDialogRequest& request, std::string* chosen) override {
        last = request;
        *chosen = chosenPath;
        return !chosenPath.empty();
    }
    void TearDown() override { std::remove(path.c_str()); }
    bool Save(ReportKind kind) { return SaveReport(kind, *this, {history, cache, kept}, "dd/MM/yyyy", &theOwner); }
    const std::string path = ::testing::TempDir() + "tidewell_report_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".html";
    std::string chosenPath;
    FileDialogRequest last;
    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
    KeptCookieTest kept = [](const FileEntry& e) { return e.size == 10; };
};

// Each report reads its own store afresh. Titles and names come trimmed or untitled, long addresses cut at 90
// of the page's own characters (not of the entities made of them), markup escaped, unknown dates shown so,
// kept cookies marked in the Cookies report only.
TEST_F(SaveReportTest, EachKindAsksWithItsOwnNameAndMatchesItsGoldenFile) {
    const FileTime july5 = FileTime::FromValue(133646112000000000ull);
    const std::string url91 = "http://example.com/" + std::string(72, 'a'), golden = TW_GOLDEN_DIR "/";
    history.Add(" http://example.com/ ", "  Example & Co\t").lastVisited = july5;
    history.Add(url91.substr(0, 90), " \r\n ").lastUpdated = july5;
    history.Add(url91, "<script>alert(\"x\")</script>").expires = FileTime::FromValue(2650466880000000000ull);
    history.Add(std::string(89, 'x') + "&&", "\v\f'd'").lastVisited = FileTime::FromValue(0x8000000000000000ull);
    fakes::FakeCacheEntry& cookie = cache.Add("Cookie:user@example.com/", "C:\\c\\user@example[1].txt", 123);
    cookie.hitRate = 4;
    cookie.expire = july5;
    cache.Add("Cookie:user@other.example/", "C:\\c\\", 1);
    cache.Add("Cookie:bob@www.example.com/", "C:\\a\\  name.txt ", 10);
    cache.Add("Cookie:bob@x.com/", "nofolder.txt", 1);
    cache.Add("Visited: u@http://example.com/", "C:\\c\\x.htm", 10).hitRate = 1;  // left out, as are cookies
    fakes::FakeCacheEntry& logo = cache.Add("http://example.com/logo.gif", "C:\\Cache\\ABC\\logo.gif", 4096);
    logo.hitRate = 4294967295u;
    logo.lastModified = logo.lastAccess = july5;
    cache.Add("http://x/?Cookie:y", "C:\\c\\y.txt", 10).hitRate = 1;
    std::ofstream(path, std::ios::binary) << std::string(100000, 'j');  // an existing file is replaced whole
    chosenPath = "  " + path + " ";
    for (auto [kind, name] :
         {std::pair{ReportKind::History, "history"}, {ReportKind::Cookies, "cookies"}, {ReportKind::Cache, "cache"}}) {
        ASSERT_TRUE(Save(kind)) << name;
        EXPECT_EQ(Described(last), "save " + std::string(name) + " .html 6 HTML Files (*.html)|*.html|| owned");
        EXPECT_EQ(FileText(path), FileText(golden + name + ".html")) << name;
    }
    EXPECT_EQ(history.liveStores + cache.openSearches, 0);
    history.items.clear();
    ASSERT_TRUE(Save(ReportKind::History));
    EXPECT_EQ(FileText(path), FileText(golden + "empty_history.html"));
}

TEST_F(SaveReportTest, FailuresWriteNothing) {
    for (auto [chosen, noHistory, kind] :
         {std::tuple{std::string(), false, ReportKind::Cache}, {std::string(" \t "), false, ReportKind::Cache},
          {path, true, ReportKind::History}, {::testing::TempDir() + "none/x.html", false, ReportKind::Cookies},
          {::testing::TempDir() + "none/x.html", false, ReportKind::History}}) {
        chosenPath = chosen;
        history.failCreate = noHistory;
        EXPECT_FALSE(Save(kind)) << '"' << chosen << '"';
        EXPECT_EQ(FileText(path), "none") << '"' << chosen << '"';
    }
    // A full disk takes the bytes and fails their flush: no report was saved.
    chosenPath = "/dev/full";
    EXPECT_FALSE(Save(ReportKind::Cache));
}

// In Protected Mode the browser's save asks; the report goes to the file it
// gives, and is handed on only when whole. The dialogs are not used.
TEST_F(SaveReportTest, TheBrowsersSaveTakesAWholeReportOnly) {
    struct Brokered : BrokeredSave {
        bool Choose(const FileDialogRequest& request, std::string* out) override {
            asked = Described(request) + " " + PipeFilterString(request);
            *out = scratch;
            return chooses;
        }
        bool Finish(bool save) override {
            finished += save ? "save " : "cancel ";
            return copies;
        }
        std::string scratch, asked, finished;
        bool chooses = true, copies = true;
    };
    history.Add("http://example.com/", "Example");
    chosenPath = path + ".never";
    struct Case { bool chooses, noHistory, copies, saved; std::string finished, text; } cases[] = {
        {true, false, true, true, "save ", "written"},
        {true, false, false, false, "save ", "written"},
        {true, true, true, false, "cancel ", "none"},
        {false, false, true, false, "", "none"},
    };
    for (const Case& c : cases) {
        std::remove(path.c_str());
        Brokered brokered;
        brokered.scratch = path;
        brokered.chooses = c.chooses;
        brokered.copies = c.copies;
        history.failCreate = c.noHistory;
        EXPECT_EQ(SaveReport(ReportKind::History, *this, {history, cache, kept}, "dd/MM/yyyy", &theOwner, &brokered),
                  c.saved);
        EXPECT_EQ(brokered.asked, "save history .html 6 HTML Files (*.html)|*.html|| owned HTML Files (*.html)|*.html|");
        EXPECT_EQ(brokered.finished, c.finished);
        const std::string text = FileText(path);
        EXPECT_EQ(text == "none" ? "none" : "written", c.text);
        EXPECT_EQ(FileText(chosenPath), "none") << "the dialogs are not used";
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
    for (void (*open)(Shell&) : {OpenHelp, OpenOnlineHelp, OpenWebPage}) open(shell);
    EXPECT_EQ(shell.executed, (std::vector<std::pair<std::string, std::string>>{
                                  {"C:\\T\\Tidewell.chm", ""}, {"iexplore.exe", kOnlineHelpAddress},
                                  {"iexplore.exe", kHomePageAddress}}));
}

}  // namespace
}  // namespace tw
