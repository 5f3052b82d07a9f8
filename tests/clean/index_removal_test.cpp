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
using Log = std::vector<std::string>;

// The bytes of a literal, embedded zeros included, without its terminator.
template <std::size_t N>
Bytes B(const char (&text)[N]) { return Bytes(text, text + N - 1); }
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Another program's rename and deletion, and this system's two deletions.
const Bytes kOtherRename = B("\\??\\C:\\Setup\\new.dll\0!\\??\\C:\\Windows\\old.dll\0");
const Bytes kOtherDeletion = B("\\??\\C:\\Temp\\setup.tmp\0\0");
const Bytes kCookieDeletion = B("\\??\\c:\\users\\bob\\cookies\\INDEX.DAT\0\0");
const Bytes kHistoryDeletion = B("\\??\\C:\\Users\\Bob\\History\\History.IE5\\index.dat\0\0");
const std::string kCompanion = "rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,";

IndexMarks Marks(bool history, bool cookies, bool cache) {
    IndexMarks m;
    m.history = history, m.cookies = cookies, m.cache = cache;
    return m;
}
std::string Text(const IndexMarks& m) {
    return std::string(m.history ? "H" : "-") + (m.cookies ? "K" : "-") + (m.cache ? "C" : "-");
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
    std::string RunOnce(const char* name) const {
        const auto* v = registry.Find(RegRoot::CurrentUser, kRunOnceKey, name);
        return v ? std::string(v->data.begin(), v->data.end()) : std::string("(absent)");
    }
    std::string Read() { return Text(ReadIndexMarks(registry, files, shell)); }

    fakes::FakeRegistry registry;
    fakes::FakeFileSystem files;
    fakes::FakeShell shell;
};

TEST_F(IndexRemoval, OlderSystemsKeepTheMarksAsRunOnceCommandsOfTheCompanion) {
    for (int major : {0, 4, 5}) EXPECT_TRUE(UsesRunOnce(major)) << major;  // 0: the version query failed
    for (int major : {6, 10}) EXPECT_FALSE(UsesRunOnce(major)) << major;
    shell.majorVersion = 5;
    ApplyIndexMarks(Marks(true, true, true), registry, files, shell);
    for (const char* name : {"DeleteHistoryIndex", "DeleteCookieIndex", "DeleteCacheIndex"})
        EXPECT_EQ(RunOnce(name), kCompanion + name + std::string(1, '\0'));  // written with the terminator
    EXPECT_EQ(Read(), "HKC");
    registry.SetString(RegRoot::CurrentUser, kRunOnceKey, "SomeoneElse", "setup.exe");
    ApplyIndexMarks(Marks(true, false, true), registry, files, shell);
    EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kRunOnceKey),
              (Log{"DeleteCacheIndex", "DeleteHistoryIndex", "SomeoneElse"}));
    EXPECT_EQ(Read(), "H-C");
    ApplyIndexMarks(Marks(false, false, false), registry, files, shell);
    EXPECT_EQ(Read(), "---");
    EXPECT_TRUE(files.log.empty());
    EXPECT_EQ(registry.openKeys, 0);
    // A library without a short form is named by its long one.
    shell.moduleFileName = "D:\\Tools\\Tidewell.dll";
    EXPECT_EQ(RunOnceCommand(shell, files, "X"), "rundll32 D:\\Tools\\Sunderly.dll,X");
    // A RunOnce key that cannot be had changes nothing.
    fakes::FakeRegistry denied;
    denied.deniedPaths.push_back("software\\microsoft\\windows\\currentversion\\runonce");
    ApplyIndexMarks(Marks(true, true, true), denied, files, shell);
    EXPECT_FALSE(denied.HasKey(RegRoot::CurrentUser, kRunOnceKey));
}

TEST_F(IndexRemoval, NewerSystemsReadTheMarksFromAnyPendingOperationUnderTheFolders) {
    EXPECT_EQ(Read(), "---");
    SetPending(B("\\??\\c:\\users\\BOB\\COOKIES\\index.dat\0\0"
                 "\\??\\C:\\Users\\Bob\\Temporary Internet Files\\Content.IE5\\X1\\a.gif\0\0\0"));
    EXPECT_EQ(Read(), "-KC");
    EXPECT_EQ(registry.openKeys, 0);
    const Bytes data = B("\\??\\C:\\A\0\0\\??\\D:\\B\0!\\??\\D:\\C");
    EXPECT_EQ(PendingOperationsText(data.data(), data.size()), "\\??\\c:\\a\n\n\\??\\d:\\b\n!\\??\\d:\\c");
    EXPECT_EQ(PendingOperationsText(nullptr, 0), "");
    files.specialFolders.erase(kFolderInternetCache);  // a store without a folder is not marked
    EXPECT_EQ(Read(), "-K-");
    registry.deniedPaths.push_back("system\\currentcontrolset\\control\\session manager");
    EXPECT_EQ(Read(), "---");  // an unreadable session manager is silent
    ApplyIndexMarks(Marks(false, true, false), registry, files, shell);
    EXPECT_EQ(files.log, Log{"schedule C:\\Users\\Bob\\Cookies\\index.dat"});
}

TEST_F(IndexRemoval, CandidatesInOrderOfPreferenceAndTheFirstThatExistsIsScheduled) {
    const std::string h = "C:\\Users\\Bob\\History", t = "C:\\Users\\Bob\\Temporary Internet Files";
    EXPECT_EQ(IndexCandidates(files, 1), (Log{h + "\\index.dat", h + "\\History.IE6\\index.dat",
                                              h + "\\History.IE5\\index.dat", h + "\\History.IE4\\index.dat",
                                              h + "\\History.IE3\\index.dat"}));
    EXPECT_EQ(IndexCandidates(files, 2), Log{"C:\\Users\\Bob\\Cookies\\index.dat"});
    EXPECT_EQ(IndexCandidates(files, 3).back(), t + "\\Content.IE3\\index.dat");
    EXPECT_TRUE(IndexCandidates(files, 0).empty());
    EXPECT_TRUE(IndexCandidates(files, 4).empty());
    files.AddFile(t + "\\Content.IE5\\index.dat");
    files.AddFile(t + "\\Content.IE4\\index.dat");
    files.AddFolder(h + "\\History.IE5");  // no index file in it
    ApplyIndexMarks(Marks(true, true, true), registry, files, shell);
    // History has none; Cookies is scheduled unseen.
    EXPECT_EQ(files.log, (Log{"schedule C:\\Users\\Bob\\Cookies\\index.dat", "schedule " + t + "\\Content.IE5\\index.dat"}));
    EXPECT_EQ(files.openSearches, 0);
    files.specialFolders.erase(kFolderHistory);
    EXPECT_TRUE(IndexCandidates(files, 1).empty());
}

TEST_F(IndexRemoval, WithdrawalTakesOnlyOurDeletionsAndKeepsTheRestByteForByte) {
    const Bytes kept = Cat({kOtherRename, kOtherDeletion, B("\0")});
    enum { kKept, kUnchanged, kGone };
    struct Case { const char* name; Bytes before; int after; } cases[] = {
        {"mixed", Cat({kOtherRename, kCookieDeletion, kOtherDeletion, kHistoryDeletion, B("\0")}), kKept},
        {"only ours", Cat({kCookieDeletion, kHistoryDeletion, B("\0")}), kGone},
        {"our file as a rename's source", B("\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\\??\\C:\\x\0\0"), kUnchanged},
        {"without the prefix", B("C:\\Users\\Bob\\Cookies\\index.dat\0\0\0"), kUnchanged},
        {"another index file", B("\\??\\C:\\Users\\Bob\\Cookies\\Low\\index.dat\0\0\0"), kUnchanged},
        // "?" where the code page lost a character: not written back.
        {"lossy names", Cat({B("\\??\\C:\\T?mp\\a.tmp\0\0"), kCookieDeletion, B("\0")}), kUnchanged},
    };
    for (const Case& c : cases) {
        SetPending(c.before);
        WithdrawIndexRemovals(registry, files);
        if (c.after == kGone) {
            EXPECT_EQ(Pending(), nullptr) << c.name;
            continue;
        }
        ASSERT_NE(Pending(), nullptr) << c.name;
        EXPECT_EQ(Pending()->data, c.after == kKept ? kept : c.before) << c.name;
        EXPECT_EQ(Pending()->type, kRegMultiSz) << c.name;
    }
    EXPECT_EQ(registry.openKeys, 0);
    // OK makes the pending operations match the boxes.
    files.AddFile("C:\\Users\\Bob\\History\\History.IE5\\index.dat");
    SetPending(Cat({kOtherRename, kCookieDeletion, kHistoryDeletion, B("\0")}));
    ApplyIndexMarks(Marks(true, false, false), registry, files, shell);
    EXPECT_EQ(Pending()->data, Cat({kOtherRename, B("\0")}));
    EXPECT_EQ(files.log, Log{"schedule C:\\Users\\Bob\\History\\History.IE5\\index.dat"});
}

// Exactly sized copies, so that the sanitizers see a read past the end.
TEST(WithoutDeletionsOf, MalformedOperationsAreKeptAndNeverOverrun) {
    const Bytes ours = kCookieDeletion;
    struct Case { Bytes data, kept; } cases[] = {
        {ours, {}},                                  // ends with an operation, without the list's terminator
        {Cat({kOtherDeletion, ours}), kOtherDeletion},
        {B("\\??\\C:\\no\\terminator"), B("\\??\\C:\\no\\terminator")},
        {Cat({ours, B("\\??\\C:\\lone\\source\0")}), B("\\??\\C:\\lone\\source\0")},
        {Cat({ours, B("\\??\\C:\\odd\0x")}), B("\\??\\C:\\odd\0x")},
        {Cat({B("\0"), ours}), Cat({B("\0"), ours})},  // what follows the list's end is no operation
        {Bytes(ours.begin(), ours.end() - 1), Bytes(ours.begin(), ours.end() - 1)},
    };
    for (const Case& c : cases) {
        bool removed = false;
        const Bytes exact(c.data);
        const Bytes kept = WithoutDeletionsOf(exact.data(), exact.size(), {"c:\\users\\bob\\cookies\\index.dat"}, &removed);
        EXPECT_EQ(kept, c.kept);
        EXPECT_EQ(removed, kept.size() != c.data.size());
    }
    bool removed = true;
    EXPECT_TRUE(WithoutDeletionsOf(nullptr, 0, {}, &removed).empty());
    EXPECT_FALSE(removed);
}

}  // namespace
}  // namespace tw
