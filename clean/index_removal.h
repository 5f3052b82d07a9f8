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
// The second list that newer systems keep beside the first, in the same
// form; both are carried out at restart.
extern const char kPendingOperations2Value[];

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

// What the system's records say is scheduled now; they are only read, so
// every user sees them.
IndexMarks ReadIndexMarks(Registry& registry, FileSystem& files, Shell& shell);
// Makes the system's records say what marks says, in this process. The
// platform's error of the first change refused, else kErrorSuccess; the
// changes after a refusal are still tried.
long ApplyIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                     const ProcessRights& rights);

// The changes to the pending operations that make them match the marks:
// the index files of ours that are scheduled now and are not to stay, and
// the first candidate of each marked store that is not scheduled yet.
struct IndexRemovalPlan {
    std::vector<std::string> withdraw, schedule;
    bool Empty() const { return withdraw.empty() && schedule.empty(); }
};
IndexRemovalPlan PlanIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files);
// Withdrawals first, then the schedules: kErrorSuccess, or the platform's
// error of the first change refused.
long ChangeIndexRemovals(const IndexRemovalPlan& plan, Registry& registry, FileSystem& files);

// The broker's arguments for plan: "--withdraw-removal PATH" and
// "--schedule-removal PATH", each path quoted.
std::string IndexRemovalArguments(const IndexRemovalPlan& plan);
enum class RemovalArguments { None, Parsed, Bad };
// None when argv holds neither option; Bad, with *error one line, when an
// option lacks its path, names no index file by a full path, or comes with
// any other argument.
RemovalArguments ParseIndexRemovalArguments(int argc, const char* const* argv, IndexRemovalPlan* plan,
                                            std::string* error);

// The Index Files dialog's OK. On newer systems without administrator
// rights in effect (a standard user, an administrator's filtered token,
// Protected Mode) the changes go to the broker, started elevated with the
// consent prompt. What was not done is told in one message; true when the
// records now say what marks says, so that the dialog may end.
bool SaveIndexMarks(const IndexMarks& marks, Registry& registry, FileSystem& files, Shell& shell,
                    const ProcessRights& rights);

// The pending operations (UTF-16, little-endian bytes) as one text in the
// code page: each name on a line of its own, "?" for a name that the code
// page cannot hold exactly, lower-cased.
std::string PendingOperationsText(const unsigned char* data, std::size_t size);

// The pending operations (UTF-16, little-endian bytes) without the
// deletions (a source "\??\" + path, or with a prefix "*N" before it as
// newer systems write it, and an empty destination) of any of files,
// compared without regard to case. Everything else is kept byte for byte,
// malformed data included; removed tells whether anything was taken out.
std::vector<unsigned char> WithoutDeletionsOf(const unsigned char* data, std::size_t size,
                                              const std::vector<std::string>& files, bool* removed);

// Takes the deletions of files (lower case) out of both lists of pending
// operations, leaving every other program's operations as they are; the
// key is opened for writing only when there is something to take out.
long WithdrawRemovals(Registry& registry, const std::vector<std::string>& files);
// WithdrawRemovals of every candidate index file of the three stores.
long WithdrawIndexRemovals(Registry& registry, FileSystem& files);

}  // namespace tw
