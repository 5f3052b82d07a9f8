#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/cookie_keep.h"
#include "clean/index_removal.h"
#include "clean/refusal.h"
#include "clean/shell_history.h"
#include "platform/win_errors.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;
using Log = std::vector<std::string>;
using Names = Log;

// The bytes of a literal, embedded zeros included, without its terminator.
template <std::size_t N>
Bytes B(const char (&text)[N]) { return Bytes(text, text + N - 1); }
// UTF-16, little-endian: the literal's units, or the bytes of a Latin-1 one.
template <std::size_t N>
Bytes U(const char16_t (&text)[N]) {
    Bytes b;
    for (std::size_t i = 0; i + 1 < N; ++i)
        b.insert(b.end(), {static_cast<unsigned char>(text[i] & 0xFF), static_cast<unsigned char>(text[i] >> 8)});
    return b;
}
Bytes W(const Bytes& latin1) {
    Bytes b;
    for (unsigned char c : latin1)
        b.insert(b.end(), {c, 0});
    return b;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Another program's rename and deletion, and this system's two deletions.
const Bytes kOtherRename = B("\\??\\C:\\Setup\\new.dll\0!\\??\\C:\\Windows\\old.dll\0");
const Bytes kOtherDeletion = B("\\??\\C:\\Temp\\setup.tmp\0\0");
const Bytes kCookieDeletion = B("\\??\\c:\\users\\bob\\cookies\\INDEX.DAT\0\0");
const Bytes kHistoryDeletion = B("\\??\\C:\\Users\\Bob\\History\\History.IE5\\index.dat\0\0");
const Bytes kEnd = B("\0");
const std::string kTif = "C:\\Users\\Bob\\Temporary Internet Files";

IndexMarks Marks(const char* hkc) {
    IndexMarks m;
    m.history = hkc[0] == 'H', m.cookies = hkc[1] == 'K', m.cache = hkc[2] == 'C';
    return m;
}

class IndexRemoval : public ::testing::Test {
protected:
    IndexRemoval() {
        files.specialFolders[kFolderHistory] = "C:\\Users\\Bob\\History";
        files.specialFolders[kFolderCookies] = "C:\\Users\\Bob\\Cookies";
        files.specialFolders[kFolderInternetCache] = kTif;
        files.shortPaths["c:\\program files\\tidewell\\tidewell.dll"] = "C:\\PROGRA~1\\Tidewell\\TIDEWELL.DLL";
    }
    void SetPending(const Bytes& data) {
        registry.SetRaw(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperationsValue, kRegMultiSz, data);
    }
    const fakes::FakeRegistry::Value* Pending() const {
        return registry.Find(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperationsValue);
    }
    void Apply(const char* hkc) { ApplyIndexMarks(Marks(hkc), registry, files, shell, rights); }
    std::string Read() {
        const IndexMarks m = ReadIndexMarks(registry, files, shell);
        EXPECT_EQ(registry.openKeys, 0);
        return std::string(m.history ? "H" : "-") + (m.cookies ? "K" : "-") + (m.cache ? "C" : "-");
    }

    fakes::FakeRegistry registry;
    fakes::FakeFileSystem files;
    fakes::FakeShell shell;
    fakes::FakeProcessRights rights;
};

TEST_F(IndexRemoval, OlderSystemsKeepTheMarksAsRunOnceCommandsOfTheCompanion) {
    EXPECT_TRUE(UsesRunOnce(0));  // the version query failed
    shell.majorVersion = 5;
    Apply("HKC");
    const std::string companion = "rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,";
    for (const char* name : {"DeleteHistoryIndex", "DeleteCookieIndex", "DeleteCacheIndex"}) {
        const fakes::FakeRegistry::Value* v = registry.Find(RegRoot::CurrentUser, kRunOnceKey, name);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(std::string(v->data.begin(), v->data.end()), companion + name + '\0');  // with the terminator
    }
    EXPECT_EQ(Read(), "HKC");
    registry.SetString(RegRoot::CurrentUser, kRunOnceKey, "SomeoneElse", "setup.exe");
    Apply("H-C");
    EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kRunOnceKey),
              (Log{"DeleteCacheIndex", "DeleteHistoryIndex", "SomeoneElse"}));
    EXPECT_EQ(Read(), "H-C");
    Apply("---");
    EXPECT_EQ(Read(), "---");
    EXPECT_TRUE(files.log.empty());
}

// The 64-bit rundll32 loads no 32-bit library, so on 64-bit Windows the
// command names the 32-bit one; a library without a short form (a volume
// that keeps none answers with the long one) is named by its long one in
// quotes, blanks and all.
TEST_F(IndexRemoval, TheRunOnceCommandRunsThe32BitRunnerOnALibraryNamedWhole) {
    struct Case {
        const char* module;
        bool wow64;
        const char* wow64Folder;
        const char* command;
    } cases[] = {
        {"C:\\Program Files\\Tidewell\\Tidewell.dll", false, "", "rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,X"},
        {"C:\\Program Files\\Tidewell\\Tidewell.dll", true, "C:\\Windows\\SysWOW64",
         "C:\\Windows\\SysWOW64\\rundll32.exe C:\\PROGRA~1\\Tidewell\\Sunderly.dll,X"},
        {"C:\\Program Files\\Tidewell\\Tidewell.dll", true, "C:\\Win Dir\\SysWOW64",
         "\"C:\\Win Dir\\SysWOW64\\rundll32.exe\" C:\\PROGRA~1\\Tidewell\\Sunderly.dll,X"},
        {"C:\\Program Files\\Tidewell\\Tidewell.dll", true, "", "rundll32 C:\\PROGRA~1\\Tidewell\\Sunderly.dll,X"},
        {"D:\\My Tools\\Tidewell.dll", false, "", "rundll32 \"D:\\My Tools\\Sunderly.dll\",X"},
        {"D:\\My Tools\\Tidewell.dll", true, "C:\\W\\SysWOW64", "C:\\W\\SysWOW64\\rundll32.exe \"D:\\My Tools\\Sunderly.dll\",X"},
    };
    files.AddFile("D:\\My Tools\\Tidewell.dll");  // exists, and has no short form
    for (const Case& c : cases) {
        shell.moduleFileName = c.module;
        rights.wow64 = c.wow64;
        files.wow64Folder = c.wow64Folder;
        EXPECT_EQ(RunOnceCommand(shell, files, rights, "X"), c.command) << c.module << " " << c.wow64Folder;
    }
}

// The same records in each state the band runs in: the fakes refuse what
// Windows refuses that process, and the broker, when the consent prompt
// lets it run, is a process of its own with administrator rights.
class IndexRemovalIn : public IndexRemoval, public ::testing::WithParamInterface<fakes::RightsState> {
protected:
    IndexRemovalIn() : rights(GetParam().Rights()) {
        registry.rights = files.rights = shell.rights = &rights;
        files.systemRecords = &registry;
        shell.elevatedProgram = [this](const std::string& parameters) { return Broker(parameters); };
    }
    unsigned long Broker(const std::string& parameters) {
        std::vector<std::string> words{"tidewell-cleanw.exe"};
        for (std::size_t at = parameters.find_first_not_of(' '); at != std::string::npos;
             at = parameters.find_first_not_of(' ', at)) {
            const bool quoted = parameters[at] == '"';
            const std::size_t end = parameters.find(quoted ? '"' : ' ', at + 1);
            words.push_back(parameters.substr(at + quoted, end == std::string::npos ? end : end - at - quoted));
            at = end == std::string::npos ? end : end + 1;
        }
        std::vector<const char*> argv;
        for (const std::string& w : words)
            argv.push_back(w.c_str());
        IndexRemovalPlan plan;
        std::string error;
        if (ParseIndexRemovalArguments(int(argv.size()), argv.data(), &plan, &error) != RemovalArguments::Parsed)
            return 2;
        fakes::FakeProcessRights elevated;
        elevated.administrator = true;
        registry.rights = files.rights = &elevated;
        const long r = ChangeIndexRemovals(plan, registry, files);
        registry.rights = files.rights = &rights;
        return r == kErrorSuccess ? 0 : 1;
    }

    fakes::FakeProcessRights rights;
};

INSTANTIATE_TEST_SUITE_P(States, IndexRemovalIn, ::testing::ValuesIn(fakes::kRightsStates),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9'))
                                     name += *c;
                             return name;
                         });

// Read with query access only, so every user sees the truth; both lists,
// and names with the prefix newer systems write.
TEST_P(IndexRemovalIn, NewerSystemsReadTheMarksFromAnyPendingOperationUnderTheFolders) {
    EXPECT_EQ(Read(), "---");
    SetPending(B("\\??\\c:\\users\\BOB\\COOKIES\\index.dat\0\0"
                 "\\??\\C:\\Users\\Bob\\Temporary Internet Files\\Content.IE5\\X1\\a.gif\0\0\0"));
    EXPECT_EQ(Read(), "-KC");
    registry.SetRaw(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperations2Value, kRegMultiSz,
                    B("*1\\??\\C:\\Users\\Bob\\History\\History.IE5\\index.dat\0\0\0"));
    EXPECT_EQ(Read(), "HKC");
    files.specialFolders.erase(kFolderInternetCache);  // a store without a folder is not marked
    EXPECT_EQ(Read(), "HK-");
    registry.deniedPaths.push_back("system\\currentcontrolset\\control\\session manager");
    EXPECT_EQ(Read(), "---");  // an unreadable session manager is silent
    EXPECT_TRUE(shell.elevated.empty());
}

TEST_P(IndexRemovalIn, OkChangesTheMarksInTheProcessOrThroughTheElevatedBroker) {
    const fakes::RightsState& state = GetParam();
    const std::string cookie = "C:\\Users\\Bob\\Cookies\\index.dat";
    const std::string ie5 = "C:\\Users\\Bob\\History\\History.IE5\\index.dat";
    const std::string ie6 = "C:\\Users\\Bob\\History\\History.IE6\\index.dat";
    const Bytes cookieScheduled = Cat({B("\\??\\"), Bytes(cookie.begin(), cookie.end()), B("\0\0")});
    const Bytes ie6Scheduled = Cat({B("\\??\\"), Bytes(ie6.begin(), ie6.end()), B("\0\0")});
    const std::string scheduleCookie = "--schedule-removal \"" + cookie + "\"";
    const std::string notGiven = "The removal of the index files at restart was not changed: that needs administrator "
                                 "rights, and they were not given.";
    const std::string brokerFailed = "The removal of the index files at restart could not be changed as asked: "
                                     "tidewell-cleanw.exe ended with exit code 1. Open Index Files again to see what "
                                     "is scheduled.";
    const std::string refused = RefusalText("change the removal of the index files at restart");
    const int kRun = -1;  // the broker does the work and answers its own exit code
    struct Case {
        const char* name;
        Bytes before;
        const char* marks;
        bool recordsReadOnly;
        long prompt;
        int exitCode;
        std::string arguments;  // to the broker; none: nothing to change
        Bytes after;            // when the change is made
        std::string toldByBroker, toldInProcess;
    } cases[] = {
        {"nothing to change", Cat({kOtherRename, kCookieDeletion, kEnd}), "-K-", false, kErrorSuccess, kRun, "",
         Cat({kOtherRename, kCookieDeletion, kEnd}), "", ""},
        {"a store marked", Cat({kOtherRename, kEnd}), "-K-", false, kErrorSuccess, kRun, scheduleCookie,
         Cat({kOtherRename, cookieScheduled, kEnd}), "", ""},
        {"a store unmarked, another kept", Cat({kOtherRename, kCookieDeletion, kHistoryDeletion, kEnd}), "-K-", false,
         kErrorSuccess, kRun, "--withdraw-removal \"" + ie5 + "\"", Cat({kOtherRename, kCookieDeletion, kEnd}), "", ""},
        {"a store moved to its first candidate", Cat({kHistoryDeletion, kEnd}), "HK-", false, kErrorSuccess, kRun,
         "--withdraw-removal \"" + ie5 + "\" --schedule-removal \"" + ie6 + "\" " + scheduleCookie,
         Cat({ie6Scheduled, cookieScheduled, kEnd}), "", ""},
        {"the prompt declined", Cat({kOtherRename, kEnd}), "-K-", false, kErrorCancelled, kRun, scheduleCookie,
         Cat({kOtherRename, cookieScheduled, kEnd}), notGiven, ""},
        {"the broker failed", Cat({kOtherRename, kEnd}), "-K-", false, kErrorSuccess, 1, scheduleCookie,
         Cat({kOtherRename, cookieScheduled, kEnd}), brokerFailed, ""},
        {"no broker", Cat({kOtherRename, kEnd}), "-K-", false, kErrorFileNotFound, kRun, scheduleCookie,
         Cat({kOtherRename, cookieScheduled, kEnd}),
         "The removal of the index files at restart was not changed: C:\\Program Files\\Tidewell\\tidewell-cleanw.exe "
         "could not be started (error 2).",
         ""},
        {"our file only as a rename's source", Cat({B("\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\\??\\C:\\x\0"), kEnd}),
         "-K-", false, kErrorSuccess, kRun, scheduleCookie,
         Cat({B("\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\\??\\C:\\x\0"), cookieScheduled, kEnd}), "", ""},
        {"records refused to all", Cat({kOtherRename, kCookieDeletion, kEnd}), "---", true, kErrorSuccess, kRun,
         "--withdraw-removal \"" + cookie + "\"", Cat({kOtherRename, kCookieDeletion, kEnd}), brokerFailed, refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registry = fakes::FakeRegistry();
        registry.rights = &rights;
        registry.readOnlyPaths.clear();
        if (c.recordsReadOnly)
            registry.readOnlyPaths.push_back("system\\currentcontrolset\\control\\session manager");
        files.log.clear();
        files.AddFile(ie6);
        shell = fakes::FakeShell();
        shell.rights = &rights;
        shell.elevatedProgram = [this](const std::string& parameters) { return Broker(parameters); };
        shell.elevation = c.prompt;
        if (c.exitCode != kRun)
            shell.elevatedProgram = [&c](const std::string&) { return static_cast<unsigned long>(c.exitCode); };
        SetPending(c.before);

        const bool inProcess = state.WritesMachine();
        const bool changed = inProcess || (c.prompt == kErrorSuccess && c.exitCode == kRun);
        const std::string told = c.arguments.empty() ? "" : inProcess ? c.toldInProcess : c.toldByBroker;
        EXPECT_EQ(SaveIndexMarks(Marks(c.marks), registry, files, shell, rights), told.empty());
        ASSERT_NE(Pending(), nullptr);
        EXPECT_EQ(Pending()->Ansi(), changed && told.empty() ? c.after : c.before);
        using Launches = std::vector<std::pair<std::string, std::string>>;
        Launches launched;
        if (!inProcess && !c.arguments.empty())
            launched.push_back({"C:\\Program Files\\Tidewell\\tidewell-cleanw.exe", c.arguments});
        EXPECT_EQ(shell.elevated, launched);
        ASSERT_EQ(shell.messages.size(), told.empty() ? 0u : 1u);
        if (!told.empty()) {
            EXPECT_EQ(shell.messages[0].first, told);
        }
        EXPECT_EQ(registry.openKeys, 0);
    }
}

// The RunOnce values live under the user's key, which a low process may
// not write.
TEST_P(IndexRemovalIn, OlderSystemsWriteTheUsersRunOnceValuesOrTellTheRefusal) {
    const bool writes = GetParam().WritesMedium();
    shell.majorVersion = 5;
    registry.SetString(RegRoot::CurrentUser, kRunOnceKey, "DeleteCookieIndex", "old");
    EXPECT_EQ(SaveIndexMarks(Marks("H-C"), registry, files, shell, rights), writes);
    EXPECT_EQ(Read(), writes ? "H-C" : "-K-");
    ASSERT_EQ(shell.messages.size(), writes ? 0u : 1u);
    if (!writes) {
        EXPECT_EQ(shell.messages[0].first,
                  "Tidewell could not change the removal of the index files at restart: that needs rights that the "
                  "browser does not give it.");
    }
    EXPECT_TRUE(shell.elevated.empty());
    EXPECT_TRUE(files.log.empty());
    // A value already absent is what was asked.
    shell.messages.clear();
    EXPECT_EQ(SaveIndexMarks(Marks("---"), registry, files, shell, rights), writes);
    EXPECT_EQ(Read(), writes ? "---" : "-K-");
    EXPECT_EQ(shell.messages.size(), writes ? 0u : 1u);
}

// The broker schedules index files by full path and nothing else, since it
// runs with administrator rights for whoever starts it.
TEST(IndexRemovalArguments, OnlyFullPathsOfIndexFilesAndNothingBeside) {
    using R = RemovalArguments;
    struct Case { std::vector<const char*> args; R result; Log withdraw, schedule; } cases[] = {
        {{"--cookies", "all"}, R::None, {}, {}},
        {{}, R::None, {}, {}},
        {{"--schedule-removal", "C:\\A b\\index.dat"}, R::Parsed, {}, {"C:\\A b\\index.dat"}},
        {{"--withdraw-removal=c:\\a\\INDEX.DAT", "--schedule-removal", "D:\\b\\index.dat", "--withdraw-removal",
          "E:\\index.dat"},
         R::Parsed, {"c:\\a\\INDEX.DAT", "E:\\index.dat"}, {"D:\\b\\index.dat"}},
        {{"--schedule-removal"}, R::Bad, {}, {}},
        {{"--schedule-removal", "C:\\Windows\\system32\\kernel32.dll"}, R::Bad, {}, {}},
        {{"--schedule-removal", "C:\\a\\myindex.dat"}, R::Bad, {}, {}},
        {{"--schedule-removal", "index.dat"}, R::Bad, {}, {}},
        {{"--schedule-removal", "\\\\server\\share\\index.dat"}, R::Bad, {}, {}},
        {{"--schedule-removal", "C:\\a\\..\\Windows\\index.dat"}, R::Bad, {}, {}},
        {{"--schedule-removal", "C:\\*\\index.dat"}, R::Bad, {}, {}},
        {{"--schedule-removal", "C:index.dat"}, R::Bad, {}, {}},
        {{"--schedule-removal", "C:\\a\\index.dat", "--cookies", "all"}, R::Bad, {}, {}},
        {{"--schedule-removal", "A:\\index.dat", "--withdraw-removal", "z:\\x\\index.dat", "--schedule-removal",
          "Z:\\index.dat", "--withdraw-removal", "a:\\index.dat"},
         R::Parsed, {"z:\\x\\index.dat", "a:\\index.dat"}, {"A:\\index.dat", "Z:\\index.dat"}},
        {{"--schedule-removal", "1:\\index.dat"}, R::Bad, {}, {}},
        {{"--schedule-removal", "@:\\index.dat"}, R::Bad, {}, {}},
        {{"--json", "--withdraw-removal", "C:\\a\\index.dat"}, R::Bad, {}, {}},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv{"tidewell-cleanw.exe"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        IndexRemovalPlan plan;
        std::string error;
        const R r = ParseIndexRemovalArguments(int(argv.size()), argv.data(), &plan, &error);
        EXPECT_EQ(r, c.result) << (c.args.empty() ? "" : c.args.back());
        EXPECT_EQ(error.empty(), r != R::Bad);
        // The first argument beside them is the one named.
        if (c.args.size() > 2 && c.result == R::Bad) {
            EXPECT_EQ(error.substr(error.rfind(' ') + 1), c.args[0] == std::string("--json") ? "--json" : c.args[2]);
        }
        if (r == R::Parsed) {
            EXPECT_EQ(plan.withdraw, c.withdraw);
            EXPECT_EQ(plan.schedule, c.schedule);
        }
    }
}

// Cookies has one place and is scheduled unseen; the others take the first
// candidate that exists, and History here has none.
TEST_F(IndexRemoval, TheFirstCandidateThatExistsIsScheduled) {
    const std::string h = "C:\\Users\\Bob\\History";
    EXPECT_EQ(IndexCandidates(files, 2), Log{"C:\\Users\\Bob\\Cookies\\index.dat"});
    for (int store : {0, 4})
        EXPECT_TRUE(IndexCandidates(files, store).empty()) << store;
    files.AddFile(kTif + "\\Content.IE5\\index.dat");
    files.AddFile(kTif + "\\Content.IE4\\index.dat");
    files.AddFolder(h + "\\History.IE5");  // no index file in it
    Apply("HKC");
    EXPECT_EQ(files.log, (Log{"schedule C:\\Users\\Bob\\Cookies\\index.dat",
                              "schedule " + kTif + "\\Content.IE5\\index.dat"}));
    EXPECT_EQ(files.openSearches, 0);
    files.specialFolders.erase(kFolderHistory);
    EXPECT_TRUE(IndexCandidates(files, 1).empty());
}

TEST_F(IndexRemoval, WithdrawalTakesOnlyOurDeletionsAndKeepsTheRestByteForByte) {
    enum { kKept, kUnchanged, kGone };
    struct Case { const char* name; Bytes before; int after; } cases[] = {
        {"mixed", Cat({kOtherRename, kCookieDeletion, kOtherDeletion, kHistoryDeletion, kEnd}), kKept},
        {"only ours", Cat({kCookieDeletion, kHistoryDeletion, kEnd}), kGone},
        {"our file as a rename's source", B("\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\\??\\C:\\x\0\0"), kUnchanged},
        {"without the prefix", B("C:\\Users\\Bob\\Cookies\\index.dat\0\0\0"), kUnchanged},
        {"another index file", B("\\??\\C:\\Users\\Bob\\Cookies\\Low\\index.dat\0\0\0"), kUnchanged},
    };
    for (const auto& c : cases) {
        SetPending(c.before);
        WithdrawIndexRemovals(registry, files);
        if (c.after == kGone) {
            EXPECT_EQ(Pending(), nullptr) << c.name;
            continue;
        }
        ASSERT_NE(Pending(), nullptr) << c.name;
        EXPECT_EQ(Pending()->Ansi(), c.after == kKept ? Cat({kOtherRename, kOtherDeletion, kEnd}) : c.before) << c.name;
        EXPECT_EQ(Pending()->type, kRegMultiSz) << c.name;
    }
    // Other programs' names come back exactly in letters the code page
    // cannot hold, and a name that only looks like ours (a Greek "o") is not.
    const Bytes greek = U(u"\\??\\C:\\\u03a4\u03b5\u03bc\u03c0\\\u65b0.tmp\0\0");
    const Bytes lookAlike = U(u"\\??\\c:\\users\\b\u03bfb\\cookies\\index.dat\0\0");
    registry.SetRaw(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperationsValue, kRegMultiSz,
                    Cat({greek, W(kCookieDeletion), lookAlike, W(kEnd)}), true);
    WithdrawIndexRemovals(registry, files);
    ASSERT_NE(Pending(), nullptr);
    EXPECT_EQ(Pending()->Wide(), Cat({greek, lookAlike, W(kEnd)}));
    // A name that is the prefix alone has lost nothing.
    SetPending(Cat({B("\\??\\\0\0"), kCookieDeletion, kEnd}));
    WithdrawIndexRemovals(registry, files);
    ASSERT_NE(Pending(), nullptr);
    EXPECT_EQ(Pending()->Ansi(), Cat({B("\\??\\\0\0"), kEnd}));
    EXPECT_EQ(registry.openKeys, 0);
    // Newer systems keep a second list in the same form, and prefix some
    // names with "*1"; ours go from both, in every form.
    const Bytes prefixed = B("*1\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\0");
    const Bytes notPrefixes = B("*\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\0"
                                "*1x\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\0"
                                "1\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\0");
    SetPending(Cat({prefixed, kOtherDeletion, B("*12\\??\\C:\\Users\\Bob\\Cookies\\index.dat\0\0"), kEnd}));
    registry.SetRaw(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperations2Value, kRegMultiSz,
                    Cat({notPrefixes, kHistoryDeletion, kOtherRename, kEnd}));
    EXPECT_EQ(WithdrawIndexRemovals(registry, files), kErrorSuccess);
    EXPECT_EQ(Pending()->Ansi(), Cat({kOtherDeletion, kEnd}));
    const fakes::FakeRegistry::Value* second =
        registry.Find(RegRoot::LocalMachine, kSessionManagerKey, kPendingOperations2Value);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Ansi(), Cat({notPrefixes, kOtherRename, kEnd}));
}

// Exactly sized copies, so that the sanitizers see a read past the end.
TEST(WithoutDeletionsOf, MalformedOperationsAreKeptAndNeverOverrun) {
    const Bytes ours = kCookieDeletion, cut(ours.begin(), ours.end() - 1);
    struct Case { Bytes data, kept; } cases[] = {
        {ours, {}},  // ends with an operation, without the list's terminator
        {Cat({kOtherDeletion, ours}), kOtherDeletion},
        {B("\\??\\C:\\no\\terminator"), B("\\??\\C:\\no\\terminator")},
        {Cat({ours, B("\\??\\C:\\lone\\source\0")}), B("\\??\\C:\\lone\\source\0")},
        {Cat({ours, B("\\??\\C:\\odd\0x")}), B("\\??\\C:\\odd\0x")},
        {Cat({kEnd, ours}), Cat({kEnd, ours})},  // what follows the list's end is no operation
        {cut, cut},
        {{}, {}},
    };
    for (const auto& c : cases) {
        bool removed = true;
        const Bytes exact(W(c.data));
        const Bytes kept = WithoutDeletionsOf(exact.data(), exact.size(), {"c:\\users\\bob\\cookies\\index.dat"},
                                              &removed);
        EXPECT_EQ(kept, W(c.kept));
        EXPECT_EQ(removed, kept.size() != exact.size());
    }
    // Half a unit at the end is kept as it is.
    const Bytes odd = Cat({W(ours), B("x")});
    bool removed = false;
    EXPECT_EQ(WithoutDeletionsOf(odd.data(), odd.size(), {"c:\\users\\bob\\cookies\\index.dat"}, &removed), B("x"));
    EXPECT_TRUE(removed);
}

// ---- the cookies to keep ---------------------------------------------------

// Names each ended by its zero, then the list's own zero.
Bytes MultiSz(const Names& names) {
    Bytes b;
    for (const std::string& n : names)
        b.insert(b.end(), n.c_str(), n.c_str() + n.size() + 1);
    b.push_back(0);
    return b;
}

TEST(CookieKeep, HostsOfKeptSites) {
    // Stored in capitals: names and hosts compare without regard to case.
    const CookieKeepList keep(Names{"Example.COM"});
    struct Case { const char* url; bool kept; } cases[] = {
        {"Cookie:bob@example.com/", true},        {"Cookie:bob@www.example.com/account", true},
        {"bob@Shop.EXAMPLE.com/cart", true},      {"Cookie:bob@example.com", true},
        {"Cookie:bob@badexample.com/", false},    {"Cookie:bob@example.com.evil.net/", false},
        {"Cookie:bob@example.co/", false},        {"Cookie:example.com/", false},  // no "@": no site's
        {"Cookie:bob@/example.com/", false},      {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keep.KeepsCookie(c.url), c.kept) << c.url;
    EXPECT_EQ(CookieHost("Cookie:bob@a.b/c@d/e"), "a.b");
    EXPECT_FALSE(CookieKeepList().KeepsCookie("Cookie:bob@example.com/"));
}

TEST(CookieKeep, TypedNamesAndTheirLimits) {
    struct Case { const char *typed, *name; } cases[] = {
        {" .Example.com\t", "example.com"}, {"WWW.bank.example.net", "bank.example.net"}, {".www.x.org", "x.org"},
        {"wwwexample.com", "wwwexample.com"}, {"www.", ""}, {".", ""},
        {"\n\v\f\rshop.test\r\f\v\n", "shop.test"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeptSiteName(c.typed), c.name) << c.typed;
    CookieKeepList list;
    EXPECT_EQ(list.Add("www.Example.com"), CookieKeepList::Added::Yes);
    EXPECT_EQ(list.Add("example.COM"), CookieKeepList::Added::AlreadyKept);
    EXPECT_EQ(list.Add(" www. "), CookieKeepList::Added::NotAName);
    EXPECT_EQ(list.Add(std::string(256, 'a')), CookieKeepList::Added::NotAName);
    EXPECT_EQ(list.Add("www." + std::string(255, 'a')), CookieKeepList::Added::Yes);
    for (int i = 2; i < 1000; ++i)
        ASSERT_EQ(list.Add("s" + std::to_string(i)), CookieKeepList::Added::Yes);
    EXPECT_EQ(list.Add("one.more"), CookieKeepList::Added::Full);
    EXPECT_EQ(list.Add("example.com"), CookieKeepList::Added::AlreadyKept);
    list.RemoveAt(0);
    list.RemoveAt(5000);
    EXPECT_EQ(list.Names().size(), 999u);
    EXPECT_FALSE(list.KeepsHost("example.com"));
}

// Each way the value can be a list of at most 1,000 names of at most 255
// characters, or fail to be one.
TEST(StoredList, ReadsAsTheListOrNotAtAll) {
    struct Case { std::uint32_t type; Bytes data; bool readable; Names names; } cases[] = {
        {kRegMultiSz, {}, true, {}}, {kRegMultiSz, B("\0"), true, {}}, {kRegMultiSz, B("a\0\0\0\0"), true, {"a"}},
        {kRegMultiSz, B("a.com\0"), true, {"a.com"}},  // without the list's zero
        {kRegMultiSz, MultiSz({"a.com", "B.net"}), true, {"a.com", "B.net"}},
        {kRegMultiSz, MultiSz({std::string(255, 'x')}), true, {std::string(255, 'x')}},
        {kRegSz, MultiSz({"example.com"}), false, {}}, {kRegMultiSz, B("a.com\0b.com"), false, {}},
        {kRegMultiSz, B("a.com\0\0b.com\0\0"), false, {}},
        {kRegMultiSz, MultiSz({"a.com", std::string(256, 'x')}), false, {}},
        {kRegMultiSz, MultiSz(Names(1001, "a")), false, {}},
        {kRegMultiSz, MultiSz(Names(1000, std::string(255, 'x'))), true, Names(1000, std::string(255, 'x'))},  // the most
        {kRegMultiSz, MultiSz(Names(1001, std::string(255, 'x'))), false, {}},
    };
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        registry.SetRaw(RegRoot::CurrentUser, kSettingsPathNew, "CookiesToKeep", c.type, c.data);
        Names names{"stale"};
        EXPECT_EQ(ReadCookiesToKeep(registry, true, &names), c.readable) << c.data.size();
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(registry.openKeys, 0);
    }
    // Absent, from its key or with it, is empty; a key that will not open is unreadable.
    fakes::FakeRegistry registry;
    registry.SetDword(RegRoot::CurrentUser, kSettingsPathOld, kValueDisableConfirmation, 1);
    registry.deniedPaths.push_back("software\\raridezaz\\tidewell");
    Names names{"stale"};
    EXPECT_FALSE(ReadCookiesToKeep(registry, false, &names));
    EXPECT_TRUE(ReadCookiesToKeep(registry, true, &names));
    registry.SetDword(RegRoot::CurrentUser, kSettingsPathNew, kValueDisableConfirmation, 1);
    names = {"stale"};
    EXPECT_TRUE(ReadCookiesToKeep(registry, true, &names));
    EXPECT_TRUE(names.empty());
    // A key the user may read but not write still gives its list.
    registry.readOnlyPaths.push_back("software\\appdatalow\\software\\raridezaz\\tidewell");
    registry.SetRaw(RegRoot::CurrentUser, kSettingsPathNew, "CookiesToKeep", kRegMultiSz, MultiSz({"a.com"}));
    EXPECT_TRUE(ReadCookiesToKeep(registry, true, &names));
    EXPECT_EQ(names, Names{"a.com"});
}

TEST(StoredList, SavedAsAMultiStringAndReadBack) {
    fakes::FakeRegistry registry;
    for (const Names& saved : {Names{"example.com", "bank.example.net"}, Names{}}) {
        ASSERT_TRUE(SaveCookiesToKeep(registry, false, saved));
        const fakes::FakeRegistry::Value* v =
            registry.Find(RegRoot::CurrentUser, kSettingsCreatePathOld, "CookiesToKeep");
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->type, kRegMultiSz);
        EXPECT_EQ(v->data, MultiSz(saved));
        Names names;
        EXPECT_TRUE(ReadCookiesToKeep(registry, false, &names));
        EXPECT_EQ(names, saved);
    }
    // A list that could not be written is never reported as saved.
    registry.readOnlyPaths.push_back("software\\raridezaz\\tidewell");
    EXPECT_FALSE(SaveCookiesToKeep(registry, false, {"other.example"}));
    Names names;
    EXPECT_TRUE(ReadCookiesToKeep(registry, false, &names));
    EXPECT_TRUE(names.empty());
}

// ---- the shell's own histories --------------------------------------------

// In each state the band runs in: a low process may not write the user's
// keys of the shell, and the band says so once, when there was something
// to delete.
class ShellHistoryIn : public ::testing::TestWithParam<fakes::RightsState> {};

INSTANTIATE_TEST_SUITE_P(States, ShellHistoryIn, ::testing::ValuesIn(fakes::kRightsStates),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_P(ShellHistoryIn, TypedUrlsStopAtTheFirstMissingNumberAndRunHistoryKeepsNonLetters) {
    const fakes::FakeProcessRights rights = GetParam().Rights();
    const bool writes = GetParam().WritesMedium();
    Names many;
    for (int n = 1; n <= 120; ++n)  // no upper limit
        many.push_back("url" + std::to_string(n));
    const std::string typed = RefusalText("clear the Typed URL List");
    const std::string run = RefusalText("clear the Desktop Run History");
    struct Case { const char* key; Names present, left; std::string told; } cases[] = {
        {kTypedUrlsKey, {"url1", "url2", "url3", "url5"}, {"url5"}, typed},
        {kTypedUrlsKey, {"url2", "url3"}, {"url2", "url3"}, ""},  // nothing to do, refused or not
        {kTypedUrlsKey, {"url1", "url10", "url11"}, {"url10", "url11"}, typed},
        {kTypedUrlsKey, {"url1", "URL2", "Other"}, {"Other"}, typed},
        {kTypedUrlsKey, many, {}, typed},
        // Every letter and the order go; names compare without regard to case.
        {kRunMruKey, {"a", "c", "z", "MRUList", "aa", "MRUListEx", "1", "`", "{", "@", "["},
         {"1", "@", "[", "`", "aa", "MRUListEx", "{"}, run},
        {kRunMruKey, {"A", "Z", "mrulist"}, {}, run},
        {kRunMruKey, {"MRUList"}, {}, run},
        {kRunMruKey, {"z"}, {}, run},
        {kRunMruKey, {"aa", "1"}, {"1", "aa"}, ""},
    };
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        fakes::FakeShell shell;
        registry.rights = shell.rights = &rights;
        for (const std::string& name : c.present)
            registry.SetString(RegRoot::CurrentUser, c.key, name, "x");
        const Names before = registry.ValueNames(RegRoot::CurrentUser, c.key);
        (c.key == kTypedUrlsKey ? ClearTypedUrlsTelling : ClearRunHistoryTelling)(registry, shell, false);
        EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, c.key), writes ? c.left : before) << c.present[0];
        using Told = std::vector<std::pair<std::string, MessageIcon>>;
        Told told;
        if (!writes && !c.told.empty())
            told.push_back({c.told, MessageIcon::Exclamation});
        EXPECT_EQ(shell.messages, told);
        EXPECT_EQ(registry.openKeys, 0);
    }
    // A missing key is nothing to do in every state.
    fakes::FakeRegistry registry;
    fakes::FakeShell shell;
    registry.rights = shell.rights = &rights;
    ClearTypedUrlsTelling(registry, shell, false);
    ClearRunHistoryTelling(registry, shell, false);
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_FALSE(registry.HasKey(RegRoot::CurrentUser, kRunMruKey));
}

// The shell's list is its Recent folder's shortcuts, which a low process
// may not delete; an empty list is nothing to do.
TEST_P(ShellHistoryIn, RecentDocumentsGoOrTheRefusalIsTold) {
    const fakes::FakeProcessRights rights = GetParam().Rights();
    const bool writes = GetParam().WritesMedium();
    struct Case { Names files; bool confirm, yes; Names left; bool told; } cases[] = {
        {{"a.lnk", "B.LNK", "desktop.ini"}, false, false, {"desktop.ini"}, true},
        {{"a.lnk"}, true, false, {"a.lnk"}, false},
        {{"a.lnk"}, true, true, {}, true},
        {{"desktop.ini"}, false, false, {"desktop.ini"}, false},
    };
    for (const auto& c : cases) {
        fakes::FakeFileSystem files;
        fakes::FakeShell shell;
        files.rights = shell.rights = &rights;
        shell.recentFolder = &files;
        shell.answerYes = c.yes;
        files.specialFolders[kFolderRecent] = "C:\\R";
        for (const std::string& name : c.files)
            files.AddFile("C:\\R\\" + name);
        ClearRecentDocumentsTelling(shell, files, rights, c.confirm);
        Names left;
        for (const std::string& name : c.files)
            if (files.Exists("C:\\R\\" + name))
                left.push_back(name);
        EXPECT_EQ(left, writes || !c.told ? c.left : c.files) << c.files[0];
        EXPECT_EQ(shell.messages.size(), !writes && c.told ? 1u : 0u) << c.files[0];
        if (!shell.messages.empty()) {
            EXPECT_EQ(shell.messages[0].first, RefusalText("clear the Desktop Recent Documents History"));
        }
    }
}

// Missing keys are neither created nor reported.
TEST(ShellHistory, EachCommandAsksItsQuestionUnlessConfirmationIsOff) {
    struct Case { bool keys, confirm, yes, cleared; } cases[] = {
        {true, true, false, false}, {true, true, true, true}, {true, false, false, true}, {false, true, true, true}};
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        fakes::FakeShell shell;
        shell.answerYes = c.yes;
        if (c.keys) {
            registry.SetString(RegRoot::CurrentUser, kTypedUrlsKey, "url1", "x");
            registry.SetString(RegRoot::CurrentUser, kRunMruKey, "a", "x");
        }
        ClearTypedUrls(registry, shell, c.confirm);
        ClearRecentDocuments(shell, c.confirm);
        ClearRunHistory(registry, shell, c.confirm);
        const Names asked = {"Are you sure you want to delete Typed URL List?",
                             "Are you sure you want to delete Desktop Recent Documents History?",
                             "Are you sure you want to delete Desktop Run History?"};
        EXPECT_EQ(shell.questions, c.confirm ? asked : Names());
        EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kTypedUrlsKey).empty(), c.cleared);
        EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, kRunMruKey).empty(), c.cleared);
        EXPECT_EQ(registry.HasKey(RegRoot::CurrentUser, kTypedUrlsKey), c.keys);
        EXPECT_EQ(registry.HasKey(RegRoot::CurrentUser, kRunMruKey), c.keys);
        EXPECT_EQ(shell.recentDocumentsCleared, c.cleared ? 1 : 0);
        EXPECT_TRUE(shell.messages.empty());
    }
}

// A key the user may read but not write is refused with its error, in the
// preview as in the run, and its values stay; a missing key is nothing to do.
TEST(ShellHistory, AKeyThatCannotBeWrittenIsReportedWithItsError) {
    struct Case {
        const char* key;
        bool readOnly, denied, preview;
        long answer;
        Names errors;
        const char* refused = "";  // a value whose deletion is refused
        std::size_t left = 3;      // of the values url1, a and MRUList
    } cases[] = {
        {kTypedUrlsKey, true, false, false, kErrorAccessDenied,
         {"the TypedURLs key cannot be opened for writing (error 5: access denied)"}},
        {kTypedUrlsKey, true, false, true, kErrorAccessDenied,
         {"the TypedURLs key cannot be opened for writing (error 5: access denied)"}},
        {kRunMruKey, false, true, false, kErrorAccessDenied,
         {"the RunMRU key cannot be opened for writing (error 5: access denied)"}},
        {kRunMruKey, true, false, true, kErrorAccessDenied,
         {"the RunMRU key cannot be opened for writing (error 5: access denied)"}},
        {kRunMruKey, false, false, false, kErrorSuccess, {}, "", 1},
        // The letters go on after a refusal; the order goes unless refused.
        {kRunMruKey, false, false, false, kErrorAccessDenied, {}, "a", 2},
        {kRunMruKey, false, false, false, kErrorAccessDenied, {"\"MRUList\" cannot be deleted (error 5: access denied)"},
         "mrulist", 2},
        {kTypedUrlsKey, false, false, false, kErrorAccessDenied, {}, "url1", 3},
    };
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        fakes::FakeShell shell;
        for (const char* name : {"url1", "a", "MRUList"})
            registry.SetString(RegRoot::CurrentUser, c.key, name, "x");
        const std::string path = c.key == kTypedUrlsKey ? "software\\microsoft\\internet explorer\\typedurls"
                                                        : "software\\microsoft\\windows\\currentversion\\explorer\\runmru";
        if (c.readOnly)
            registry.readOnlyPaths.push_back(path);
        if (c.denied)
            registry.deniedPaths.push_back(path);
        if (*c.refused)
            registry.refusedValues.push_back(c.refused);
        CleanupJournal journal(c.preview);
        EXPECT_EQ((c.key == kTypedUrlsKey ? ClearTypedUrls : ClearRunHistory)(registry, shell, false, &journal),
                  c.answer);
        Names errors;
        for (const StoreError& e : journal.Outcome().errors)
            errors.push_back(StoreErrorText(e));
        EXPECT_EQ(errors, c.errors) << c.key;
        const bool unopened = c.readOnly || c.denied;
        const std::string refused = c.refused;
        EXPECT_EQ(journal.Outcome().deleted.empty(), unopened || refused == "url1" || refused == "a") << refused;
        // A refused value is failed by its text ("x"); the order has none.
        EXPECT_EQ(journal.Outcome().failed, (!refused.empty() && refused != "mrulist") ? Names{"x"} : Names{});
        EXPECT_EQ(registry.ValueNames(RegRoot::CurrentUser, c.key).size(), c.left) << c.refused;
        EXPECT_EQ(registry.openKeys, 0);
    }
    // Without a journal the answer alone tells it; a missing key is no error.
    fakes::FakeRegistry registry;
    fakes::FakeShell shell;
    EXPECT_EQ(ClearTypedUrls(registry, shell, false), kErrorSuccess);
    EXPECT_EQ(ClearRunHistory(registry, shell, false), kErrorSuccess);
}

}  // namespace
}  // namespace tw
