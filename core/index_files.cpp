#include "core/index_files.h"

#include <cctype>


namespace tw {

namespace {

bool Opens(FileSystem& files, const std::string& path) {
    return path.size() < kMaxPath && files.CanOpenForReading(path.c_str());
}

std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool ContainsIndexDat(const std::string& path) {
    std::string lower = path;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("index.dat") != std::string::npos;
}

}  // namespace

bool FileFound(FileSystem& files, const std::string& path) {
    FindEntry entry;
    return bool(StartFileSearch(files, path.c_str(), &entry));
}

const std::vector<const char*>& IndexFileNames(EntryKind store) {
    static const std::vector<const char*> history = {"\\index.dat", "\\History.IE6\\index.dat",
                                                     "\\History.IE5\\index.dat", "\\History.IE4\\index.dat",
                                                     "\\History.IE3\\index.dat"};
    static const std::vector<const char*> cookies = {"\\index.dat"};
    static const std::vector<const char*> cache = {"\\index.dat", "\\Content.IE6\\index.dat",
                                                   "\\Content.IE5\\index.dat", "\\Content.IE4\\index.dat",
                                                   "\\Content.IE3\\index.dat"};
    switch (store) {
    case EntryKind::Cookie: return cookies;
    case EntryKind::Cache: return cache;
    default: return history;
    }
}

int StoreFolderId(EntryKind store) {
    switch (store) {
    case EntryKind::Cookie: return kFolderCookies;
    case EntryKind::Cache: return kFolderInternetCache;
    default: return kFolderHistory;
    }
}

std::string FirstIndexFile(FileSystem& files, const std::string& folder, EntryKind store) {
    for (const char* name : IndexFileNames(store)) {
        const std::string path = folder + name;
        if (path.size() < kMaxPath && FileFound(files, path))
            return path;
    }
    return std::string();
}

std::vector<std::string> ChoiceCandidates(FileSystem& files, EntryKind store) {
    std::vector<std::string> rows;
    std::string folder;
    if (!files.SpecialFolder(StoreFolderId(store), &folder))
        return rows;
    if (store == EntryKind::Cookie) {
        if (Opens(files, folder + "\\index.dat"))
            rows.push_back(folder + "\\index.dat");
        return rows;
    }
    const std::string first = FirstIndexFile(files, folder, store);
    if (!first.empty())
        rows.push_back(first);
    if (store != EntryKind::History)
        return rows;
    // The sub-folders beside the file found (or of the history folder's
    // parent, when none was found) hold the older and per-period indexes.
    const std::string parent = FolderPart(first.empty() ? folder : first);
    FindEntry entry;
    const FileSearch s = StartFileSearch(files, (parent + "*.*").c_str(), &entry);
    if (!s)
        return rows;
    while (files.FindNext(s.Get(), &entry)) {
        if (!(entry.attributes & kAttributeDirectory))
            continue;
        const std::string candidate = parent + entry.name + "\\index.dat";
        if (Opens(files, candidate))
            rows.push_back(candidate);
    }
    return rows;
}

std::string BrowseCandidate(FileSystem& files, EntryKind store, const std::string& folder) {
    if (store == EntryKind::Cookie) {
        for (const char* name : {"\\index.dat", "\\Cookies\\index.dat"}) {
            if (Opens(files, folder + name))
                return folder + name;
        }
        return std::string();
    }
    std::string path = FirstIndexFile(files, folder, store);
    if (path.empty())
        path = folder;
    return Opens(files, path) ? path : std::string();
}

bool AddUniqueRow(std::vector<std::string>& rows, const std::string& path) {
    for (const std::string& r : rows) {
        if (r == path)
            return false;
    }
    rows.push_back(path);
    return true;
}

void SearchIndexFiles(FileSystem& files, const std::string& folder, const std::atomic<bool>& keepGoing,
                      const std::function<void(const std::string&)>& found) {
    if (folder.size() + 2 >= kMaxPath)
        return;
    FindEntry entry;
    const FileSearch s = StartFileSearch(files, (folder + "\\*").c_str(), &entry);
    if (!s)
        return;
    do {
        if (!keepGoing.load(std::memory_order_acquire))
            break;
        if (entry.name == "." || entry.name == "..")
            continue;
        const std::string path = folder + "\\" + entry.name;
        if (path.size() >= kMaxPath)
            continue;
        if (entry.attributes & kAttributeDirectory)
            SearchIndexFiles(files, path, keepGoing, found);
        else if (ContainsIndexDat(path))
            found(path);
    } while (files.FindNext(s.Get(), &entry));
}

}  // namespace tw
