#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/index_removal.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;

// The bytes of a literal, embedded zeros included, without the literal's
// own terminator.
template <std::size_t N>
Bytes B(const char (&text)[N]) {
    return Bytes(text, text + N - 1);
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

class IndexRemoval : public ::testing::Test {
protected:
    IndexRemoval() {
        files.specialFolders[kFolderHistory] = "C:\\Users\\Bob\\History";
        files.specialFolders[kFolderCookies] = "C:\\Users\\Bob\\Cookies";
        files.specialFolders[kFolderInternetCache] = "C:\\Users\\Bob\\Temporary Internet Files";
        files.shortPaths["c:\\program files\\tidewell\\tidewell.dll"] = "C:\\PROGRA~1\\Tidewell\\TIDEWELL.DLL";
    }

    void SetPending(const Bytes& data) {
        registry.SetRaw(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperationsValue, kRegMultiSz, data);
    }
    const fakes::FakeRegistry::Value* Pending() const {
        return registry.Find(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperationsValue);
    }
    std::string RunOnceData(const char* name) const {
        const auto* v = registry.Find(RegRoot::CurrentUser, kRunOnceKey, name);
        return v ? std::string(v->data.begin(), v->data.end()) : std::string("(absent)");
    }
    bool Same(const IndexMarks& a, const IndexMarks& b) {
        return a.history == b.history && a.cookies == b.cookies && a.cache == b.cache;
    }

    fakes::FakeRegistry registry;
    fakes::FakeFileSystem files;
    fakes::FakeShell shell;
};

TEST_F(IndexRemoval, VersionRule) {
    for (int major : {0, 4, 5})
        EXPECT_TRUE(UsesRunOnce(major)) << major;
    for (int major : {6, 10})
        EXPECT_FALSE(UsesRunOnce(major)) << major;
}

TEST_F(IndexRemoval, RunOnceCommandNamesTheCompanionBesideThisLibrary) {
    EXPECT_EQ(RunOnceCommand(shell, files, "DeleteCookieIndex"),
              "rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,DeleteCookieIndex");
    // A library without a short form is named by its long one.
    shell.moduleFileName = "D:\\Tools\\Tidewell.dll";
    EXPECT_EQ(RunOnceCommand(shell, files, "DeleteCacheIndex"), "rundll32 D:\\Tools\\Sunderly.dll,DeleteCacheIndex");
}

TEST_F(IndexRemoval, OlderSystemsWriteReadAndRemoveTheRunOnceValues) {
    shell.majorVersion = 5;
    IndexMarks all;
    all.history = all.cookies = all.cache = true;
    ApplyIndexMarks(all, registry, files, shell);
    // Written with their terminators.
    EXPECT_EQ(RunOnceData("DeleteHistoryIndex"),
              std::string("rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,DeleteHistoryIndex") + std::string(1, '\0'));
    EXPECT_EQ(RunOnceData("DeleteCookieIndex"),
              std::string("rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,DeleteCookieIndex") + std::string(1, '\0'));
    EXPECT_EQ(RunOnceData("DeleteCacheIndex"),
              std::string("rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,DeleteCacheIndex") + std::string(1, '\0'));
    EXPECT_TRUE(Same(ReadIndexMarks(registry, files, shell), all));

    registry.SetString(RegRoot::CurrentUser, kRunOnceKey, "SomeoneElse", "setup.exe");
    IndexMarks two = all;
    two.cookies = false;
    ApplyIndexMarks(two, registry, files, shell);
    EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kRunOnceKey),
              (std::vector<std::string>{"DeleteCacheIndex", "DeleteHistoryIndex", "SomeoneElse"}));
    EXPECT_TRUE(Same(ReadIndexMarks(registry, files, shell), two));
    EXPECT_TRUE(files.log.empty());
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(IndexRemoval, AFailedVersionQueryUsesRunOnce) {
    shell.majorVersion = 0;
    IndexMarks cache;
    cache.cache = true;
    ApplyIndexMarks(cache, registry, files, shell);
    EXPECT_NE(RunOnceData("DeleteCacheIndex"), "(absent)");
    EXPECT_TRUE(files.log.empty());
}

TEST_F(IndexRemoval, ARunOnceKeyThatCannotBeHadChangesNothing) {
    shell.majorVersion = 5;
    registry.deniedPaths.push_back("software\\microsoft\\windows\\currentversion\\runonce");
    IndexMarks all;
    all.history = all.cookies = all.cache = true;
    ApplyIndexMarks(all, registry, files, shell);
    EXPECT_FALSE(registry.HasKey(RegRoot::CurrentUser, kRunOnceKey));
    EXPECT_TRUE(Same(ReadIndexMarks(registry, files, shell), IndexMarks()));
}

TEST_F(IndexRemoval, NewerSystemsReadTheMarksFromAnyPendingOperationUnderTheFolders) {
    SetPending(B("\\??\\c:\\users\\BOB\\COOKIES\\index.dat\0\0"
                 "\\??\\C:\\Users\\Bob\\Temporary Internet Files\\Content.IE5\\X1\\a.gif\0\0\0"));
    const IndexMarks marks = ReadIndexMarks(registry, files, shell);
    EXPECT_FALSE(marks.history);
    EXPECT_TRUE(marks.cookies);
    EXPECT_TRUE(marks.cache);
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(IndexRemoval, PendingTextTurnsZerosIntoLineFeedsAndLowers) {
    const Bytes data = B("\\??\\C:\\A\0\0\\??\\D:\\B\0!\\??\\D:\\C");
    EXPECT_EQ(PendingOperationsText(data.data(), data.size()), "\\??\\c:\\a\n\n\\??\\d:\\b\n!\\??\\d:\\c");
    EXPECT_EQ(PendingOperationsText(nullptr, 0), "");
}

TEST_F(IndexRemoval, NewerSystemsScheduleTheFirstIndexFileThatExists) {
    files.AddFile("C:\\Users\\Bob\\Temporary Internet Files\\Content.IE5\\index.dat");
    files.AddFile("C:\\Users\\Bob\\Temporary Internet Files\\Content.IE4\\index.dat");
    files.AddFolder("C:\\Users\\Bob\\History\\History.IE5");  // no index file in it
    IndexMarks all;
    all.history = all.cookies = all.cache = true;
    ApplyIndexMarks(all, registry, files, shell);
    // History has none, Cookies is scheduled unseen.
    EXPECT_EQ(files.log, (std::vector<std::string>{
                             "schedule C:\\Users\\Bob\\Cookies\\index.dat",
                             "schedule C:\\Users\\Bob\\Temporary Internet Files\\Content.IE5\\index.dat"}));
    EXPECT_EQ(files.openSearches, 0);
}

TEST_F(IndexRemoval, CandidatesInOrderOfPreference) {
    EXPECT_EQ(IndexCandidates(files, 1),
              (std::vector<std::string>{"C:\\Users\\Bob\\History\\index.dat",
                                        "C:\\Users\\Bob\\History\\History.IE6\\index.dat",
                                        "C:\\Users\\Bob\\History\\History.IE5\\index.dat",
                                        "C:\\Users\\Bob\\History\\History.IE4\\index.dat",
                                        "C:\\Users\\Bob\\History\\History.IE3\\index.dat"}));
    EXPECT_EQ(IndexCandidates(files, 2), (std::vector<std::string>{"C:\\Users\\Bob\\Cookies\\index.dat"}));
    EXPECT_EQ(IndexCandidates(files, 3).back(), "C:\\Users\\Bob\\Temporary Internet Files\\Content.IE3\\index.dat");
    EXPECT_TRUE(IndexCandidates(files, 4).empty());
    files.specialFolders.erase(kFolderHistory);
    EXPECT_TRUE(IndexCandidates(files, 1).empty());
}

// Another program's rename, another program's deletion, this system's two
// deletions and the list's terminator.
const Bytes kOtherRename = B("\\??\\C:\\Setup\\new.dll\0!\\??\\C:\\Windows\\old.dll\0");
const Bytes kOtherDeletion = B("\\??\\C:\\Temp\\setup.tmp\0\0");
const Bytes kCookieDeletion = B("\\??\\c:\\users\\bob\\cookies\\INDEX.DAT\0\0");
const Bytes kHistoryDeletion = B("\\??\\C:\\Users\\Bob\\History\\History.IE5\\index.dat\0\0");

TEST_F(IndexRemoval, WithdrawalKeepsOtherProgramsEntriesByteForByte) {
    SetPending(Cat({kOtherRename, kCookieDeletion, kOtherDeletion, kHistoryDeletion, B("\0")}));
    WithdrawIndexRemovals(registry, files);
    ASSERT_NE(Pending(), nullptr);
    EXPECT_EQ(Pending()->data, Cat({kOtherRename, kOtherDeletion, B("\0")}));
    EXPECT_EQ(Pending()->type, kRegMultiSz);
    EXPECT_EQ(registry.openKeys, 0);
}

TEST_F(IndexRemoval, WithdrawalOfOnlyOurEntriesRemovesTheValue) {
    SetPending(Cat({kCookieDeletion, kHistoryDeletion, B("\0")}));
    WithdrawIndexRemovals(registry, files);
    EXPECT_EQ(Pending(), nullptr);
}

TEST_F(IndexRemoval, WithdrawalLeavesWhatIsNotOurDeletion) {
    const Bytes cases[] = {
        // Our file as the source of a rename is another program's business.
        Cat({B("\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\\??\\C:\\x\0"), B("\0")}),
        // Without the prefix it is not what the system writes.
        Cat({B("C:\\Users\\Bob\\Cookies\\index.dat\0\0"), B("\0")}),
        // Some other index file.
        Cat({B("\\??\\C:\\Users\\Bob\\Cookies\\Low\\index.dat\0\0"), B("\0")}),
    };
    for (const Bytes& data : cases) {
        SetPending(data);
        WithdrawIndexRemovals(registry, files);
        ASSERT_NE(Pending(), nullptr);
        EXPECT_EQ(Pending()->data, data);
    }
}

TEST_F(IndexRemoval, MalformedOperationsAreKeptAndNeverOverrun) {
    const Bytes ours = kCookieDeletion;
    struct Case {
        Bytes data, kept;
    } cases[] = {
        {B("\\??\\C:\\no\\terminator"), B("\\??\\C:\\no\\terminator")},
        {Cat({ours, B("\\??\\C:\\lone\\source\0")}), B("\\??\\C:\\lone\\source\0")},
        {Cat({ours, B("\\??\\C:\\odd\0x")}), B("\\??\\C:\\odd\0x")},
        // Whatever follows the list's end is not read as operations.
        {Cat({B("\0"), ours}), Cat({B("\0"), ours})},
        {Bytes(ours.begin(), ours.end() - 1), Bytes(ours.begin(), ours.end() - 1)},
    };
    for (const Case& c : cases) {
        bool removed = false;
        // Exactly sized copies, so that a read past the end is a read past
        // the allocation.
        std::vector<unsigned char> exact(c.data);
        const Bytes kept = WithoutDeletionsOf(exact.data(), exact.size(),
                                              {"c:\\users\\bob\\cookies\\index.dat"}, &removed);
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(removed, kept.size() != c.data.size());
    }
    bool removed = true;
    EXPECT_TRUE(WithoutDeletionsOf(nullptr, 0, {}, &removed).empty());
    EXPECT_FALSE(removed);
}

TEST_F(IndexRemoval, NamesThatTheCodePageCouldNotHoldAreNotWrittenBack) {
    // "?" where a character was lost on the way through the ANSI functions.
    const Bytes data = Cat({B("\\??\\C:\\T?mp\\a.tmp\0\0"), kCookieDeletion, B("\0")});
    SetPending(data);
    WithdrawIndexRemovals(registry, files);
    EXPECT_EQ(Pending()->data, data);
}

TEST_F(IndexRemoval, OkMakesThePendingOperationsMatchTheBoxes) {
    files.AddFile("C:\\Users\\Bob\\History\\History.IE5\\index.dat");
    SetPending(Cat({kOtherRename, kCookieDeletion, kHistoryDeletion, B("\0")}));
    IndexMarks historyOnly;
    historyOnly.history = true;
    ApplyIndexMarks(historyOnly, registry, files, shell);
    EXPECT_EQ(Pending()->data, Cat({kOtherRename, B("\0")}));
    EXPECT_EQ(files.log, (std::vector<std::string>{"schedule C:\\Users\\Bob\\History\\History.IE5\\index.dat"}));
}

TEST_F(IndexRemoval, AnUnreadableSessionManagerIsSilent) {
    SetPending(kCookieDeletion);
    registry.deniedPaths.push_back("system\\currentcontrolset\\control\\session manager");
    EXPECT_TRUE(Same(ReadIndexMarks(registry, files, shell), IndexMarks()));
    IndexMarks cookies;
    cookies.cookies = true;
    ApplyIndexMarks(cookies, registry, files, shell);
    EXPECT_EQ(files.log, (std::vector<std::string>{"schedule C:\\Users\\Bob\\Cookies\\index.dat"}));
}

}  // namespace
}  // namespace tw
