// Removal of the stores' index files at the next restart, which the system
// keeps open while the user is logged on: RunOnce commands of the companion
// library on older systems, the system's pending file operations on newer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process_rights.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tw {

extern const char kRunOnceKey[];             // under HKEY_CURRENT_USER
extern const char kSessionManagerKey[];      // under HKEY_LOCAL_MACHINE
extern const char kPendingOperationsValue[];  // "PendingFileRenameOperations"

// Which stores' index files are (to be) removed at restart.
struct IndexMarks {
    bool history = false;
    bool cookies = false;
    bool cache = false;
};

// Major version 5 or lower (0 when unknown) uses the RunOnce commands.
bool UsesRunOnce(int majorVersion);

// "rundll32 <short folder of this library>\Sunderly.dll,<valueName>". On
// 64-bit Windows the runner is the 32-bit rundll32 of the 32-bit system
// folder, since the 64-bit one loads no 32-bit library; a library with no
// short name is named by its long one in quotes.
std::string RunOnceCommand(Shell& shell, FileSystem& files, const ProcessRights& rights, const char* valueName);

// The index files that may be scheduled for store 1 (History), 2 (Cookies)
// or 3 (Cache), in order of preference; empty when the folder is unknown.
std::vector<std::string> IndexCandidates(FileSystem& files, int store);

// What the system's records say is scheduled now.
IndexMarks ReadIndexMarks(Registry& registry, FileSystem& files, Shell& shell);
// Makes the system's records say what marks says.
void ApplyIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                     const ProcessRights& rights);

// The pending operations (UTF-16, little-endian bytes) as one text in the
// code page: each name on a line of its own, "?" for a name that the code
// page cannot hold exactly, lower-cased.
std::string PendingOperationsText(const unsigned char* data, std::size_t size);

// The pending operations (UTF-16, little-endian bytes) without the
// deletions (a source "\??\" + path, an empty destination) of any of files,
// compared without regard to case. Everything else is kept byte for byte,
// malformed data included; removed tells whether anything was taken out.
std::vector<unsigned char> WithoutDeletionsOf(const unsigned char* data, std::size_t size,
                                              const std::vector<std::string>& files, bool* removed);

// Takes this system's index-file deletions out of the pending operations,
// leaving every other program's operations as they are.
void WithdrawIndexRemovals(Registry& registry, FileSystem& files);

}  // namespace tw
