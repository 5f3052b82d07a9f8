#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "report/help.h"
#include "report/save_report.h"
#include "tests/fakes/fake_file_dialogs.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

class SaveReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = ::testing::TempDir() + "tidewell_report_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".html";
        std::remove(path_.c_str());
        dialogs_.chosenPath = "  " + path_ + " ";
    }
    void TearDown() override { std::remove(path_.c_str()); }

    bool Save(ReportKind kind) { return SaveReport(kind, dialogs_, {history_, cache_}, "dd.MM.yyyy", &owner_); }
    std::string Contents() const {
        std::string out;
        if (std::FILE* f = std::fopen(path_.c_str(), "rb")) {
            char b[4096];
            std::size_t n;
            while ((n = std::fread(b, 1, sizeof b, f)) > 0)
                out.append(b, n);
            std::fclose(f);
        }
        return out;
    }
    bool FileExists() const {
        std::FILE* f = std::fopen(path_.c_str(), "rb");
        if (f)
            std::fclose(f);
        return f != nullptr;
    }

    std::string path_;
    int owner_ = 0;
    fakes::FakeFileDialogs dialogs_;
    fakes::FakeHistory history_;
    fakes::FakeUrlCache cache_;
};

TEST_F(SaveReportTest, EachKindAsksWithItsOwnNameAndReadsItsOwnStore) {
    history_.Add("http://visited.example/", "Visited page");
    cache_.Add("Cookie:me@cookie.example/", "C:\\Cookies\\me@cookie[1].txt", 50);
    cache_.Add("http://cached.example/a.gif", "C:\\Cache\\a.gif", 60);
    cache_.Add("Visited: me@http://visited.example/", "C:\\h", 70);
    struct Case {
        ReportKind kind;
        const char* name;
        const char* present;
        const char* absent;
    };
    const Case cases[] = {
        {ReportKind::History, "history", "http://visited.example/", "cached.example"},
        {ReportKind::Cookies, "cookies", "Cookie:me@cookie.example/", "cached.example"},
        {ReportKind::Cache, "cache", "http://cached.example/a.gif", "Cookie:"},
    };
    for (const Case& c : cases) {
        dialogs_.requests.clear();
        ASSERT_TRUE(Save(c.kind)) << c.name;
        ASSERT_EQ(dialogs_.requests.size(), 1u);
        const FileDialogRequest& r = dialogs_.requests[0];
        EXPECT_TRUE(r.save);
        EXPECT_EQ(r.initialName, c.name);
        EXPECT_STREQ(r.defaultExtension, "html");
        EXPECT_EQ(r.flags, kOfnHideReadOnly | kOfnOverwritePrompt);
        EXPECT_EQ(FilterString(r), std::string("HTML Files (*.html)\0*.html\0\0", 28));
        EXPECT_EQ(r.owner, &owner_);
        const std::string text = Contents();
        EXPECT_NE(text.find(c.present), std::string::npos) << c.name;
        EXPECT_EQ(text.find(c.absent), std::string::npos) << c.name;
        EXPECT_NE(text.find(std::string("<h2>") + ReportHeading(c.kind) + "</h2>"), std::string::npos);
    }
    EXPECT_EQ(history_.liveStores, 0);
    EXPECT_EQ(cache_.openSearches, 0);
}

TEST_F(SaveReportTest, FailuresWriteNothing) {
    dialogs_.answerOk = false;
    EXPECT_FALSE(Save(ReportKind::Cache));
    EXPECT_FALSE(FileExists());

    dialogs_.answerOk = true;
    dialogs_.chosenPath = " \t ";
    EXPECT_FALSE(Save(ReportKind::Cache));

    dialogs_.chosenPath = path_;
    history_.failCreate = true;
    EXPECT_FALSE(Save(ReportKind::History));
    EXPECT_FALSE(FileExists()) << "no file may be created when the history store is missing";

    dialogs_.chosenPath = ::testing::TempDir() + "no-such-folder/x/report.html";
    EXPECT_FALSE(Save(ReportKind::Cookies));
    history_.failCreate = false;
    EXPECT_FALSE(Save(ReportKind::History));
}

TEST_F(SaveReportTest, AnExistingFileIsReplacedWhole) {
    {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const std::string junk(100000, 'j');
        std::fwrite(junk.data(), 1, junk.size(), f);
        std::fclose(f);
    }
    ASSERT_TRUE(Save(ReportKind::Cookies));
    EXPECT_EQ(Contents(), ReportHead(ReportKind::Cookies) + ReportTail());
}

TEST(FileDialogRequests, TheirParametersAndStructureSizes) {
    const FileDialogRequest index = IndexFileDialogRequest(nullptr);
    EXPECT_FALSE(index.save);
    EXPECT_EQ(index.initialName, "index.dat");
    EXPECT_EQ(index.flags, kOfnHideReadOnly | kOfnForceShowHidden);
    EXPECT_EQ(FilterString(index), std::string("IE History Files (*.dat)\0*.dat\0\0", 32));
    const FileDialogRequest icon = IconFileDialogRequest(nullptr);
    EXPECT_EQ(icon.initialName, "");
    EXPECT_STREQ(icon.defaultExtension, "ico");
    EXPECT_EQ(icon.flags, kOfnHideReadOnly);

    struct Case {
        std::uint32_t platform, major, minor, size;
    };
    const Case cases[] = {{2, 5, 0, 88}, {2, 10, 0, 88}, {2, 4, 0, 76}, {1, 4, 90, 88},
                          {1, 4, 10, 76}, {1, 5, 0, 88}, {0, 0, 0, 76}};
    for (const Case& c : cases)
        EXPECT_EQ(OpenFileNameSize(c.platform, c.major, c.minor), c.size) << c.platform << " " << c.major << "." << c.minor;
}

TEST(HelpLaunchers, OpenTheFileBesideTheModuleAndThePages) {
    EXPECT_EQ(HelpFilePath("c:\\Program Files\\X\\band.dll"), "c:\\Program Files\\X\\Tidewell.chm");
    EXPECT_EQ(HelpFilePath("band.dll"), "band.dll\\Tidewell.chm");
    fakes::FakeShell shell;
    shell.moduleFileName = "C:\\T\\Tidewell.dll";
    OpenHelp(shell);
    OpenOnlineHelp(shell);
    OpenWebPage(shell);
    ASSERT_EQ(shell.executed.size(), 3u);
    EXPECT_EQ(shell.executed[0], std::make_pair(std::string("C:\\T\\Tidewell.chm"), std::string()));
    EXPECT_EQ(shell.executed[1], std::make_pair(std::string("iexplore.exe"), std::string(kOnlineHelpAddress)));
    EXPECT_EQ(shell.executed[2], std::make_pair(std::string("iexplore.exe"), std::string(kHomePageAddress)));
}

}  // namespace
}  // namespace tw
