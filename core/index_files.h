// Where the current user's index files lie, which of them a choice dialog
// offers, and the search of a folder tree for index files.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/entry.h"
#include "platform/file_system.h"

namespace tw {

// The names tried below a store's folder, in order ("\index.dat" first).
const std::vector<const char*>& IndexFileNames(EntryKind store);
// The store's special folder (CSIDL), without creating it.
int StoreFolderId(EntryKind store);

// Whether FindFirstFileA finds path.
bool FileFound(FileSystem& files, const std::string& path);

// The first of the store's names below folder that the file system finds;
// empty when there is none.
std::string FirstIndexFile(FileSystem& files, const std::string& folder, EntryKind store);

// The rows a choice dialog opens with: the store's own index file, and for
// History also those of the history folder's sub-folders.
std::vector<std::string> ChoiceCandidates(FileSystem& files, EntryKind store);

// The file that Browse offers for a folder the user picked; empty when
// none opens.
std::string BrowseCandidate(FileSystem& files, EntryKind store, const std::string& folder);

// Adds path unless a row already holds exactly that text.
bool AddUniqueRow(std::vector<std::string>& rows, const std::string& path);

const std::size_t kMaxPath = 260;

// Walks folder depth first in listing order and reports every file whose
// lower-cased full path contains "index.dat". Stops before the next entry
// once keepGoing is false. Paths that would not fit in 260 characters are
// skipped whole, never cut into another path.
void SearchIndexFiles(FileSystem& files, const std::string& folder, const std::atomic<bool>& keepGoing,
                      const std::function<void(const std::string&)>& found);

}  // namespace tw
