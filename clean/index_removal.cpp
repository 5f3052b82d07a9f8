#include "clean/index_removal.h"

#include <algorithm>

#include "clean/broker.h"
#include "clean/cleanup.h"
#include "clean/refusal.h"
#include "core/ansi_text.h"
#include "core/index_files.h"
#include "platform/win_errors.h"

namespace tw {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingOperationsValue[] = "PendingFileRenameOperations";
const char kPendingOperations2Value[] = "PendingFileRenameOperations2";

namespace {

const char kNtPrefix[] = "\\??\\";
const char* const kPendingValues[] = {kPendingOperationsValue, kPendingOperations2Value};
const char kWithdrawOption[] = "--withdraw-removal";
const char kScheduleOption[] = "--schedule-removal";
const char kNotChanged[] = "The removal of the index files at restart was not changed";

struct StoreRecord {
    EntryKind kind;
    const char* valueName;
    // Cookies has one place only, used whether or not the file is there.
    bool testExistence;
};

const StoreRecord kStores[3] = {
    {EntryKind::History, "DeleteHistoryIndex", true},
    {EntryKind::Cookie, "DeleteCookieIndex", false},
    {EntryKind::Cache, "DeleteCacheIndex", true},
};

bool* MarkOf(IndexMarks& marks, int i) { return i == 0 ? &marks.history : i == 1 ? &marks.cookies : &marks.cache; }

std::string Lowered(std::string s) {
    ActiveCodePage().Lower(&s[0]);
    return s;
}

bool Exists(FileSystem& files, const std::string& path) {
    return FileFound(files, path);
}

IndexMarks ReadRunOnceMarks(Registry& registry) {
    IndexMarks marks;
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kRunOnceKey) != kErrorSuccess)
        return marks;
    for (int i = 0; i < 3; ++i) {
        char data[260];
        std::uint32_t size = sizeof data;
        std::uint32_t type = 0;
        *MarkOf(marks, i) = registry.Query(key.Get(), kStores[i].valueName, &type, data, &size) == kErrorSuccess;
    }
    return marks;
}

// The value as the system keeps it, in UTF-16: other programs' names must
// be written back exactly, whatever the code page can hold of them.
bool ReadPendingOperations(Registry& registry, Registry::Key key, const char* name, std::vector<unsigned char>* data,
                           std::uint32_t* type) {
    return registry.QueryWide(key, name, type, data) == kErrorSuccess;
}

char16_t UnitAt(const unsigned char* data, std::size_t unit) {
    return char16_t(data[2 * unit] | (data[2 * unit + 1] << 8));
}

// The first zero unit at or after unit `from`, or `units`.
std::size_t ZeroFrom(const unsigned char* data, std::size_t units, std::size_t from) {
    while (from < units && UnitAt(data, from) != 0)
        ++from;
    return from;
}

// A name in the code page; exact tells whether the code page holds it as it
// is. A best-fit conversion gives look-alike letters, and a name that took
// them is none of ours.
std::string Narrowed(const unsigned char* data, std::size_t from, std::size_t to, bool* exact) {
    std::u16string name;
    for (std::size_t u = from; u < to; ++u)
        name.push_back(UnitAt(data, u));
    std::string text(name.size() * 2 + 1, '\0');
    text.resize(ActiveCodePage().FromUtf16(name.c_str(), name.size(), &text[0], text.size()));
    *exact = ActiveCodePage().ToUtf16(text) == name;
    return text;
}

// The path of a deletion's source, "\??\" + path, or with the prefix "*N"
// (digits) before it that newer systems write; false for any other name.
bool DeletionPath(const std::string& source, std::string* path) {
    std::size_t at = 0;
    if (!source.empty() && source[0] == '*') {
        at = source.find_first_not_of("0123456789", 1);
        if (at == 1 || at == std::string::npos)
            return false;
    }
    if (source.compare(at, 4, kNtPrefix) != 0)
        return false;
    *path = source.substr(at + 4);
    return true;
}

// Calls visit(at, sourceEnd, destinationEnd) for each whole operation
// (a source and a destination, both terminated) up to the list's end; the
// units are indices. Answers where the operations end.
template <class Visit>
std::size_t EachOperation(const unsigned char* data, std::size_t size, Visit visit) {
    const std::size_t units = size / 2;
    std::size_t at = 0;
    // An empty source ends the list, and whatever is not a whole operation
    // (an odd last byte among it) is no operation.
    while (at < units && UnitAt(data, at) != 0) {
        const std::size_t sourceEnd = ZeroFrom(data, units, at);
        if (sourceEnd >= units)
            break;
        const std::size_t destinationEnd = ZeroFrom(data, units, sourceEnd + 1);
        if (destinationEnd >= units)
            break;
        visit(at, sourceEnd, destinationEnd);
        at = destinationEnd + 1;
    }
    return at;
}

// Whether the operation from `at` deletes one of files (lower case).
bool DeletesOneOf(const unsigned char* data, std::size_t at, std::size_t sourceEnd, std::size_t destinationEnd,
                  const std::vector<std::string>& files) {
    if (destinationEnd != sourceEnd + 1)
        return false;
    bool exact = false;
    std::string path;
    return DeletionPath(Narrowed(data, at, sourceEnd, &exact), &path) && exact &&
           std::find(files.begin(), files.end(), Lowered(path)) != files.end();
}

struct PendingList {
    const char* name = nullptr;
    std::uint32_t type = 0;
    std::vector<unsigned char> data;
};

// Both lists as they are now, read only; absent ones are left out.
std::vector<PendingList> ReadPendingLists(Registry& registry) {
    std::vector<PendingList> lists;
    RegKey key(registry);
    if (key.Open(RegRoot::LocalMachine, kSessionManagerKey) != kErrorSuccess)
        return lists;
    for (const char* name : kPendingValues) {
        PendingList list;
        list.name = name;
        if (ReadPendingOperations(registry, key.Get(), name, &list.data, &list.type))
            lists.push_back(list);
    }
    return lists;
}

// The files (lower case) that the lists delete at restart.
std::vector<std::string> PendingDeletions(Registry& registry) {
    std::vector<std::string> paths;
    for (const PendingList& list : ReadPendingLists(registry)) {
        const unsigned char* d = list.data.data();
        EachOperation(d, list.data.size(), [&](std::size_t at, std::size_t sourceEnd, std::size_t destinationEnd) {
            bool exact = false;
            std::string path;
            if (destinationEnd == sourceEnd + 1 && DeletionPath(Narrowed(d, at, sourceEnd, &exact), &path) && exact)
                paths.push_back(Lowered(path));
        });
    }
    return paths;
}

IndexMarks ReadPendingMarks(Registry& registry, FileSystem& files) {
    IndexMarks marks;
    std::string text;
    for (const PendingList& list : ReadPendingLists(registry))
        text += PendingOperationsText(list.data.data(), list.data.size());
    if (text.empty())
        return marks;
    for (int i = 0; i < 3; ++i) {
        std::string folder;
        if (files.SpecialFolder(StoreFolderId(kStores[i].kind), &folder) && !folder.empty())
            *MarkOf(marks, i) = AnsiContains(text.c_str(), Lowered(folder).c_str());
    }
    return marks;
}

long ApplyRunOnceMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                       const ProcessRights& rights) {
    RegKey key(registry);
    long r = key.Open(RegRoot::CurrentUser, kRunOnceKey, true);
    if (r != kErrorSuccess && (r = key.Create(RegRoot::CurrentUser, kRunOnceKey)) != kErrorSuccess)
        return r;
    IndexMarks wanted = marks;
    long first = kErrorSuccess;
    for (int i = 0; i < 3; ++i) {
        const char* name = kStores[i].valueName;
        if (*MarkOf(wanted, i)) {
            const std::string command = RunOnceCommand(shell, files, rights, name);
            r = registry.Set(key.Get(), name, kRegSz, command.c_str(), std::uint32_t(command.size() + 1));
        } else {
            // An absent value is what was asked.
            r = registry.DeleteValue(key.Get(), name);
            r = r == kErrorFileNotFound ? kErrorSuccess : r;
        }
        first = first == kErrorSuccess ? r : first;
    }
    return first;
}

// The first of the store's candidates to schedule: the first that exists,
// or for Cookies its one place; empty when there is none.
std::string ChosenCandidate(FileSystem& files, int i) {
    for (const std::string& path : IndexCandidates(files, i + 1))
        if (!kStores[i].testExistence || Exists(files, path))
            return path;
    return std::string();
}

std::string Quoted(const std::string& path) { return '"' + path + '"'; }

// A full path of a file named index.dat, without wildcards, quotes or
// steps up: the broker runs with administrator rights, so it schedules
// nothing else, whoever asks.
bool IsIndexFilePath(const std::string& path) {
    const std::string name = "\\index.dat";
    if (path.size() < 2 + name.size() || path[1] != ':' || path[2] != '\\' ||
        !((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
        return false;
    if (path.find_first_of("*?\"<>|/", 0) != std::string::npos || path.find("\\..") != std::string::npos ||
        path.find('\0') != std::string::npos)
        return false;
    std::string tail = path.substr(path.size() - name.size());
    for (char& c : tail)
        c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return tail == name;
}

// Hands plan to the broker, started elevated; what went wrong, in the
// words the user is told, or nothing.
std::string RunBroker(const IndexRemovalPlan& plan, Shell& shell) {
    // By its full path: the elevated program may run as another user,
    // whose folders are not this user's, and so are the plan's paths.
    const std::string broker = BrokerBeside(shell.ModuleFileName());
    unsigned long exitCode = 0;
    const long r = shell.RunElevated(broker.c_str(), IndexRemovalArguments(plan).c_str(), &exitCode);
    const std::string lookAgain = ". Open Index Files again to see what is scheduled.";
    if (r == kErrorCancelled)
        return std::string(kNotChanged) + ": that needs administrator rights, and they were not given.";
    if (r == kErrorTimeout)
        return "The removal of the index files at restart may not have been changed: " + std::string(kBrokerFileName) +
               " did not finish in time" + lookAgain;
    if (r != kErrorSuccess)
        return std::string(kNotChanged) + ": " + broker + " could not be started (error " + std::to_string(r) + ").";
    if (exitCode != 0)
        return "The removal of the index files at restart could not be changed as asked: " +
               std::string(kBrokerFileName) + " ended with exit code " + std::to_string(exitCode) + lookAgain;
    return std::string();
}

}  // namespace

bool UsesRunOnce(int majorVersion) { return majorVersion <= 5; }

std::string RunOnceCommand(Shell& shell, FileSystem& files, const ProcessRights& rights, const char* valueName) {
    std::string runner = "rundll32";
    std::string system32;
    if (rights.IsWow64() && files.SystemWow64Folder(&system32) && !system32.empty()) {
        runner = system32 + "\\rundll32.exe";
        if (runner.find(' ') != std::string::npos)
            runner = '"' + runner + '"';
    }
    const std::string module = shell.ModuleFileName();
    std::string shortName;
    // A volume that keeps no short names answers with the long one, which
    // may hold blanks: it is quoted, so that rundll32 takes it whole.
    const bool hasShort = files.ShortPath(module.c_str(), &shortName) && !shortName.empty() && shortName != module;
    const std::string& name = hasShort ? shortName : module;
    const std::size_t slash = name.find_last_of('\\');
    const std::string library = (slash == std::string::npos ? std::string() : name.substr(0, slash)) + "\\Sunderly.dll";
    return runner + " " + (hasShort ? library : '"' + library + '"') + "," + valueName;
}

std::vector<std::string> IndexCandidates(FileSystem& files, int store) {
    std::vector<std::string> paths;
    std::string folder;
    if (store < 1 || store > 3 || !files.SpecialFolder(StoreFolderId(kStores[store - 1].kind), &folder))
        return paths;
    for (const char* candidate : IndexFileNames(kStores[store - 1].kind))
        paths.push_back(folder + candidate);
    return paths;
}

IndexMarks ReadIndexMarks(Registry& registry, FileSystem& files, Shell& shell) {
    return UsesRunOnce(shell.MajorVersion()) ? ReadRunOnceMarks(registry) : ReadPendingMarks(registry, files);
}

long ApplyIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                     const ProcessRights& rights) {
    if (UsesRunOnce(shell.MajorVersion()))
        return ApplyRunOnceMarks(marks, registry, files, shell, rights);
    return ChangeIndexRemovals(PlanIndexMarks(marks, registry, files), registry, files);
}

IndexRemovalPlan PlanIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files) {
    IndexRemovalPlan plan;
    const std::vector<std::string> pending = PendingDeletions(registry);
    const auto isPending = [&](const std::string& path) {
        return std::find(pending.begin(), pending.end(), Lowered(path)) != pending.end();
    };
    IndexMarks wanted = marks;
    for (int i = 0; i < 3; ++i) {
        // What is scheduled already and stays is left alone, so that OK
        // with nothing changed changes nothing.
        const std::string chosen = *MarkOf(wanted, i) ? ChosenCandidate(files, i) : std::string();
        for (const std::string& path : IndexCandidates(files, i + 1))
            if (path != chosen && isPending(path))
                plan.withdraw.push_back(path);
        if (!chosen.empty() && !isPending(chosen))
            plan.schedule.push_back(chosen);
    }
    return plan;
}

long ChangeIndexRemovals(const IndexRemovalPlan& plan, Registry& registry, FileSystem& files) {
    long first = plan.withdraw.empty() ? kErrorSuccess : WithdrawRemovals(registry, plan.withdraw);
    for (const std::string& path : plan.schedule) {
        const long r = files.ScheduleRemovalAtRestart(path.c_str());
        first = first == kErrorSuccess ? r : first;
    }
    return first;
}

std::string IndexRemovalArguments(const IndexRemovalPlan& plan) {
    std::string args;
    for (const std::string& path : plan.withdraw)
        args += std::string(args.empty() ? "" : " ") + kWithdrawOption + " " + Quoted(path);
    for (const std::string& path : plan.schedule)
        args += std::string(args.empty() ? "" : " ") + kScheduleOption + " " + Quoted(path);
    return args;
}

RemovalArguments ParseIndexRemovalArguments(int argc, const char* const* argv, IndexRemovalPlan* plan,
                                            std::string* error) {
    *plan = IndexRemovalPlan();
    std::string other;
    bool any = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        for (const char* option : {kWithdrawOption, kScheduleOption}) {
            const std::string joined = std::string(option) + "=";
            std::string path;
            if (arg == option) {
                if (i + 1 >= argc || !argv[i + 1]) {
                    *error = std::string(option) + " needs the path of an index file";
                    return RemovalArguments::Bad;
                }
                path = argv[++i];
            } else if (arg.compare(0, joined.size(), joined) == 0) {
                path = arg.substr(joined.size());
            } else {
                continue;
            }
            any = true;
            if (!IsIndexFilePath(path)) {
                *error = std::string(option) + " " + path + ": not the full path of an index.dat file";
                return RemovalArguments::Bad;
            }
            (option == kWithdrawOption ? plan->withdraw : plan->schedule).push_back(path);
            arg.clear();
        }
        if (!arg.empty() && other.empty())
            other = arg;
    }
    if (!any)
        return RemovalArguments::None;
    if (!other.empty()) {
        *error = std::string(kWithdrawOption) + " and " + kScheduleOption + " take no other arguments: " + other;
        return RemovalArguments::Bad;
    }
    return RemovalArguments::Parsed;
}

bool SaveIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                    const ProcessRights& rights) {
    long r = kErrorSuccess;
    if (UsesRunOnce(shell.MajorVersion())) {
        r = ApplyIndexMarks(marks, registry, files, shell, rights);
    } else {
        const IndexRemovalPlan plan = PlanIndexMarks(marks, registry, files);
        if (plan.Empty())
            return true;
        if (!rights.IsAdministrator() || rights.IsProtectedMode()) {
            const std::string failure = RunBroker(plan, shell);
            if (!failure.empty())
                shell.ShowMessage(failure.c_str(), MessageIcon::Exclamation);
            return failure.empty();
        }
        r = ChangeIndexRemovals(plan, registry, files);
    }
    const char* what = "change the removal of the index files at restart";
    if (IsRefusal(r))
        TellRefusal(shell, what);
    else if (r != kErrorSuccess)
        shell.ShowMessage(("Tidewell could not " + std::string(what) + " (error " + std::to_string(r) + ").").c_str(),
                          MessageIcon::Exclamation);
    return r == kErrorSuccess;
}

std::string PendingOperationsText(const unsigned char* data, std::size_t size) {
    const std::size_t units = size / 2;
    std::string text;
    for (std::size_t at = 0; at < units;) {
        const std::size_t end = ZeroFrom(data, units, at);
        bool exact = false;
        const std::string name = Narrowed(data, at, end, &exact);
        text += exact ? name : "?";
        text += '\n';
        at = end + 1;
    }
    if (!text.empty())
        ActiveCodePage().Lower(&text[0]);
    return text;
}

std::vector<unsigned char> WithoutDeletionsOf(const unsigned char* data, std::size_t size,
                                              const std::vector<std::string>& files, bool* removed) {
    *removed = false;
    std::vector<unsigned char> kept;
    kept.reserve(size);
    const std::size_t end =
        EachOperation(data, size, [&](std::size_t at, std::size_t sourceEnd, std::size_t destinationEnd) {
            if (DeletesOneOf(data, at, sourceEnd, destinationEnd, files))
                *removed = true;
            else
                kept.insert(kept.end(), data + 2 * at, data + 2 * (destinationEnd + 1));
        });
    kept.insert(kept.end(), data + 2 * end, data + size);
    return kept;
}

long WithdrawRemovals(Registry& registry, const std::vector<std::string>& paths) {
    std::vector<std::string> lowered;
    for (const std::string& p : paths)
        lowered.push_back(Lowered(p));
    std::vector<PendingList> changed;
    for (PendingList& list : ReadPendingLists(registry)) {
        bool removed = false;
        list.data = WithoutDeletionsOf(list.data.data(), list.data.size(), lowered, &removed);
        if (removed)
            changed.push_back(list);
    }
    if (changed.empty())
        return kErrorSuccess;
    RegKey key(registry);
    long first = key.Open(RegRoot::LocalMachine, kSessionManagerKey, true);
    if (first != kErrorSuccess)
        return first;
    for (const PendingList& list : changed) {
        const bool none = std::all_of(list.data.begin(), list.data.end(), [](unsigned char b) { return b == 0; });
        const long r = none ? registry.DeleteValue(key.Get(), list.name)
                            : registry.SetWide(key.Get(), list.name, list.type, list.data);
        first = first == kErrorSuccess ? r : first;
    }
    return first;
}

long WithdrawIndexRemovals(Registry& registry, FileSystem& files) {
    std::vector<std::string> ours;
    for (int store = 1; store <= 3; ++store)
        for (const std::string& path : IndexCandidates(files, store))
            ours.push_back(path);
    return WithdrawRemovals(registry, ours);
}

}  // namespace tw
