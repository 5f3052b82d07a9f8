#include "clean/index_removal.h"

#include <algorithm>
#include <cstring>

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

// The value's bytes as stored; false when it cannot be read.
bool ReadPendingOperations(Registry& registry, Registry::Key key, std::vector<unsigned char>* data,
                           std::uint32_t* type) {
    std::uint32_t size = 0;
    if (registry.Query(key, kPendingOperationsValue, type, nullptr, &size) != kErrorSuccess)
        return false;
    data->assign(std::size_t(size) + 1, 0);
    if (registry.Query(key, kPendingOperationsValue, type, data->data(), &size) != kErrorSuccess)
        return false;
    data->resize(std::min<std::size_t>(size, data->size()));
    return true;
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

void ApplyRunOnceMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell) {
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kRunOnceKey, true) != kErrorSuccess &&
        key.Create(RegRoot::CurrentUser, kRunOnceKey) != kErrorSuccess)
        return;
    IndexMarks wanted = marks;
    for (int i = 0; i < 3; ++i) {
        const char* name = kStores[i].valueName;
        if (*MarkOf(wanted, i)) {
            const std::string command = RunOnceCommand(shell, files, name);
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

// The operations as read through the ANSI registry functions: a character
// that the code page cannot hold comes back as '?', which no file name
// holds outside the "\??\" prefix. Such data is not written back, since
// writing it would change another program's file names.
bool ReadWithoutLoss(const unsigned char* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size) {
        const unsigned char* zero = static_cast<const unsigned char*>(std::memchr(data + at, 0, size - at));
        const std::size_t end = zero ? std::size_t(zero - data) : size;
        std::size_t from = at;
        if (from < end && data[from] == '!')
            ++from;
        if (end - from >= 4 && std::memcmp(data + from, kNtPrefix, 4) == 0)
            from += 4;
        if (std::memchr(data + from, '?', end - from))
            return false;
        at = end + 1;
    }
    return true;
}

}  // namespace

bool UsesRunOnce(int majorVersion) { return majorVersion <= 5; }

std::string RunOnceCommand(Shell& shell, FileSystem& files, const char* valueName) {
    const std::string module = shell.ModuleFileName();
    std::string shortName;
    // Without a short form the long one still names the folder.
    if (!files.ShortPath(module.c_str(), &shortName) || shortName.empty())
        shortName = module;
    const std::size_t slash = shortName.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? std::string() : shortName.substr(0, slash);
    return "rundll32 " + folder + "\\Sunderly.dll," + valueName;
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

void ApplyIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell) {
    if (UsesRunOnce(shell.MajorVersion()))
        ApplyRunOnceMarks(marks, registry, files, shell);
    else
        ApplyPendingMarks(marks, registry, files);
}

std::string PendingOperationsText(const unsigned char* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::replace(text.begin(), text.end(), '\0', '\n');
    if (!text.empty())
        ActiveCodePage().Lower(&text[0]);
    return text;
}

std::vector<unsigned char> WithoutDeletionsOf(const unsigned char* data, std::size_t size,
                                              const std::vector<std::string>& files, bool* removed) {
    *removed = false;
    std::vector<unsigned char> kept;
    kept.reserve(size);
    auto zeroFrom = [&](std::size_t at) {
        const void* z = at < size ? std::memchr(data + at, 0, size - at) : nullptr;
        return z ? std::size_t(static_cast<const unsigned char*>(z) - data) : size;
    };
    std::size_t at = 0;
    // Each operation is a source and a destination, both terminated; an
    // empty source ends the list, and whatever is not a whole operation is
    // kept as it is.
    while (at < size && data[at] != 0) {
        const std::size_t sourceEnd = zeroFrom(at);
        if (sourceEnd >= size)
            break;
        const std::size_t destinationEnd = zeroFrom(sourceEnd + 1);
        if (destinationEnd >= size)
            break;
        const std::string source(reinterpret_cast<const char*>(data + at), sourceEnd - at);
        const bool deletion = destinationEnd == sourceEnd + 1;
        const bool ours = deletion && source.compare(0, 4, kNtPrefix) == 0 &&
                          std::find(files.begin(), files.end(), Lowered(source.substr(4))) != files.end();
        if (ours)
            *removed = true;
        else
            kept.insert(kept.end(), data + at, data + destinationEnd + 1);
        at = destinationEnd + 1;
    }
    kept.insert(kept.end(), data + at, data + size);
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
    if (!removed || !ReadWithoutLoss(data.data(), data.size()))
        return;
    if (std::all_of(kept.begin(), kept.end(), [](unsigned char b) { return b == 0; }))
        registry.DeleteValue(key.Get(), kPendingOperationsValue);
    else
        registry.Set(key.Get(), kPendingOperationsValue, type, kept.data(), std::uint32_t(kept.size()));
}

}  // namespace tw
