#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/help.h"
#include "report/save_report.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

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

class SaveReportTest : public ::testing::Test {
protected:
    void SetUp() override { dialogs.path = "  " + path + " "; }
    void TearDown() override { std::remove(path.c_str()); }
    bool Save(ReportKind kind) { return SaveReport(kind, dialogs, {history, cache}, "dd.MM.yyyy", &owner); }
    // The file's bytes, or "none" without a file.
    std::string Contents() const {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) return "none";
        std::string out(200000, '\0');
        out.resize(std::fread(&out[0], 1, out.size(), f));
        std::fclose(f);
        return out;
    }
    const std::string path = ::testing::TempDir() + "tidewell_report_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".html";
    int owner = 0;
    Dialogs dialogs;
    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
};

TEST_F(SaveReportTest, EachKindAsksWithItsOwnNameAndReadsItsOwnStore) {
    history.Add("http://visited.example/", "Visited page");
    cache.Add("Cookie:me@cookie.example/", "C:\\Cookies\\me@cookie[1].txt", 50);
    cache.Add("http://cached.example/a.gif", "C:\\Cache\\a.gif", 60);
    cache.Add("Visited: me@http://visited.example/", "C:\\h", 70);
    const struct { ReportKind kind; const char *name, *present, *absent; } cases[] = {
        {ReportKind::History, "history", "http://visited.example/", "cached.example"},
        {ReportKind::Cache, "cache", "http://cached.example/a.gif", "Cookie:"},
        {ReportKind::Cookies, "cookies", "Cookie:me@cookie.example/", "cached.example"},
    };
    std::string text;
    for (const auto& c : cases) {
        ASSERT_TRUE(Save(c.kind)) << c.name;
        const FileDialogRequest& r = dialogs.last;
        EXPECT_TRUE(r.save && r.owner == &owner && r.flags == (kOfnHideReadOnly | kOfnOverwritePrompt));
        EXPECT_EQ(r.initialName + "." + r.defaultExtension, c.name + std::string(".html"));
        EXPECT_EQ(FilterString(r), std::string("HTML Files (*.html)\0*.html\0\0", 28));
        text = Contents();
        EXPECT_NE(text.find(c.present), std::string::npos) << c.name;
        EXPECT_EQ(text.find(c.absent), std::string::npos) << c.name;
        EXPECT_NE(text.find(std::string("<h2>") + ReportHeading(c.kind) + "</h2>"), std::string::npos);
    }
    EXPECT_EQ(history.liveStores + cache.openSearches, 0);
    std::FILE* f = std::fopen(path.c_str(), "wb");  // an existing file is replaced whole
    ASSERT_NE(f, nullptr);
    std::fputs(std::string(100000, 'j').c_str(), f);
    std::fclose(f);
    ASSERT_TRUE(Save(ReportKind::Cookies));
    EXPECT_EQ(Contents(), text);
}

TEST_F(SaveReportTest, FailuresWriteNothing) {
    for (const char* chosen : {"", " \t "}) {
        dialogs.path = chosen;
        EXPECT_FALSE(Save(ReportKind::Cache)) << '"' << chosen << '"';
    }
    dialogs.path = path;
    history.failCreate = true;
    EXPECT_FALSE(Save(ReportKind::History));
    EXPECT_EQ(Contents(), "none") << "no file may be created when the history store is missing";
    dialogs.path = ::testing::TempDir() + "no-such-folder/x/report.html";
    EXPECT_FALSE(Save(ReportKind::Cookies));
}

TEST(FileDialogRequests, TheirParametersAndStructureSizes) {
    const FileDialogRequest index = IndexFileDialogRequest(nullptr), icon = IconFileDialogRequest(nullptr);
    EXPECT_TRUE(!index.save && index.initialName == "index.dat" && icon.initialName.empty());
    EXPECT_EQ(index.flags, kOfnHideReadOnly | kOfnForceShowHidden);
    EXPECT_EQ(icon.flags, kOfnHideReadOnly);
    EXPECT_EQ(FilterString(index), std::string("IE History Files (*.dat)\0*.dat\0\0", 32));
    EXPECT_STREQ(icon.defaultExtension, "ico");
    const struct { std::uint32_t platform, major, minor, size; } cases[] = {
        {2, 5, 0, 88}, {2, 10, 0, 88}, {2, 4, 0, 76}, {1, 4, 90, 88}, {1, 4, 10, 76}, {1, 5, 0, 88}, {0, 0, 0, 76}};
    for (const auto& c : cases)
        EXPECT_EQ(OpenFileNameSize(c.platform, c.major, c.minor), c.size) << c.platform << " " << c.major << "." << c.minor;
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
