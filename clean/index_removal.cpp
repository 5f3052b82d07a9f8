#include "clean/index_removal.h"

#include <algorithm>

#include "clean/cleanup.h"
#include "core/ansi_text.h"
#include "core/index_files.h"
#include "platform/win_errors.h"

namespace tw {

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingOperationsValue[] = "PendingFileRenameOperations";

namespace {

const char kNtPrefix[] = "\\??\\";

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
    if (key.Open(RegRoot::CurrentUser, kRunOnceKey, true) != kErrorSuccess)
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
bool ReadPendingOperations(Registry& registry, Registry::Key key, std::vector<unsigned char>* data,
                           std::uint32_t* type) {
    return registry.QueryWide(key, kPendingOperationsValue, type, data) == kErrorSuccess;
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

IndexMarks ReadPendingMarks(Registry& registry, FileSystem& files) {
    IndexMarks marks;
    RegKey key(registry);
    if (key.Open(RegRoot::LocalMachine, kSessionManagerKey, true) != kErrorSuccess)
        return marks;
    std::vector<unsigned char> data;
    std::uint32_t type = 0;
    if (!ReadPendingOperations(registry, key.Get(), &data, &type))
        return marks;
    const std::string text = PendingOperationsText(data.data(), data.size());
    for (int i = 0; i < 3; ++i) {
        std::string folder;
        if (files.SpecialFolder(StoreFolderId(kStores[i].kind), &folder) && !folder.empty())
            *MarkOf(marks, i) = AnsiContains(text.c_str(), Lowered(folder).c_str());
    }
    return marks;
}

void ApplyRunOnceMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                       const ProcessRights& rights) {
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kRunOnceKey, true) != kErrorSuccess &&
        key.Create(RegRoot::CurrentUser, kRunOnceKey) != kErrorSuccess)
        return;
    IndexMarks wanted = marks;
    for (int i = 0; i < 3; ++i) {
        const char* name = kStores[i].valueName;
        if (*MarkOf(wanted, i)) {
            const std::string command = RunOnceCommand(shell, files, rights, name);
            registry.Set(key.Get(), name, kRegSz, command.c_str(), std::uint32_t(command.size() + 1));
        } else {
            registry.DeleteValue(key.Get(), name);
        }
    }
}

void ApplyPendingMarks(const IndexMarks& marks, Registry& registry, FileSystem& files) {
    WithdrawIndexRemovals(registry, files);
    IndexMarks wanted = marks;
    for (int i = 0; i < 3; ++i) {
        if (!*MarkOf(wanted, i))
            continue;
        for (const std::string& path : IndexCandidates(files, i + 1)) {
            if (!kStores[i].testExistence || Exists(files, path)) {
                files.ScheduleRemovalAtRestart(path.c_str());
                break;
            }
        }
    }
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

void ApplyIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                     const ProcessRights& rights) {
    if (UsesRunOnce(shell.MajorVersion()))
        ApplyRunOnceMarks(marks, registry, files, shell, rights);
    else
        ApplyPendingMarks(marks, registry, files);
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
    const std::size_t units = size / 2;
    std::size_t at = 0;
    // Each operation is a source and a destination, both terminated; an
    // empty source ends the list, and whatever is not a whole operation
    // (an odd last byte among it) is kept as it is.
    while (at < units && UnitAt(data, at) != 0) {
        const std::size_t sourceEnd = ZeroFrom(data, units, at);
        if (sourceEnd >= units)
            break;
        const std::size_t destinationEnd = ZeroFrom(data, units, sourceEnd + 1);
        if (destinationEnd >= units)
            break;
        bool exact = false;
        const std::string source = Narrowed(data, at, sourceEnd, &exact);
        const bool deletion = destinationEnd == sourceEnd + 1;
        const bool ours = deletion && exact && source.compare(0, 4, kNtPrefix) == 0 &&
                          std::find(files.begin(), files.end(), Lowered(source.substr(4))) != files.end();
        if (ours)
            *removed = true;
        else
            kept.insert(kept.end(), data + 2 * at, data + 2 * (destinationEnd + 1));
        at = destinationEnd + 1;
    }
    kept.insert(kept.end(), data + 2 * at, data + size);
    return kept;
}

void WithdrawIndexRemovals(Registry& registry, FileSystem& files) {
    std::vector<std::string> ours;
    for (int store = 1; store <= 3; ++store)
        for (const std::string& path : IndexCandidates(files, store))
            ours.push_back(Lowered(path));
    RegKey key(registry);
    if (key.Open(RegRoot::LocalMachine, kSessionManagerKey, true) != kErrorSuccess)
        return;
    std::vector<unsigned char> data;
    std::uint32_t type = 0;
    if (!ReadPendingOperations(registry, key.Get(), &data, &type))
        return;
    bool removed = false;
    const std::vector<unsigned char> kept = WithoutDeletionsOf(data.data(), data.size(), ours, &removed);
    if (!removed)
        return;
    if (std::all_of(kept.begin(), kept.end(), [](unsigned char b) { return b == 0; }))
        registry.DeleteValue(key.Get(), kPendingOperationsValue);
    else
        registry.SetWide(key.Get(), kPendingOperationsValue, type, kept);
}

}  // namespace tw
