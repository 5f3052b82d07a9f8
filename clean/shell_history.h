// The traces that the browser and the shell keep outside the URL cache:
// typed addresses, recent documents and the Run box's history.
#pragma once

#include "clean/cleanup.h"
#include "platform/file_system.h"
#include "platform/process_rights.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tw {

extern const char kTypedUrlsKey[];  // under HKEY_CURRENT_USER
extern const char kRunMruKey[];     // under HKEY_CURRENT_USER
// The questions asked first.
extern const char kTypedUrlsQuestion[];
extern const char kRecentDocumentsQuestion[];
extern const char kRunHistoryQuestion[];

// Each asks its question first when confirm is set and stops at No. The
// keys are only opened (for querying and setting values, which deleting
// them needs), never created; a missing key or value is nothing to do.
// Each answers kErrorSuccess, or the first Win32 error that kept it from
// its work: a key that cannot be opened for writing, a value whose deletion
// was refused. With a journal, each notes the values it deletes by their
// text, or by their name when they hold none, those whose deletion was
// refused, and as errors what kept it from the key; a preview opens the key
// as the run does, so that it meets the same refusal, and deletes nothing.

// Deletes "url1", "url2", ... up to the first number that cannot be deleted.
long ClearTypedUrls(Registry& registry, Shell& shell, bool confirm, CleanupJournal* journal = nullptr);
// Empties the shell's list of recent documents.
void ClearRecentDocuments(Shell& shell, bool confirm);
// Deletes the values "a" to "z", then "MRUList".
long ClearRunHistory(Registry& registry, Shell& shell, bool confirm, CleanupJournal* journal = nullptr);

// The Clean menu's commands as the band runs them: the cleaner, then, when
// the platform refused it and there was something to delete, one message
// saying what could not be done. Nothing to do, or a No, stays silent.
void ClearTypedUrlsTelling(Registry& registry, Shell& shell, bool confirm);
void ClearRunHistoryTelling(Registry& registry, Shell& shell, bool confirm);
// The shell answers nothing here: the shortcuts of the Recent folder that
// are still there afterwards tell it, and in Protected Mode, where the
// folder is beyond the process's reach, they are told as a refusal.
void ClearRecentDocumentsTelling(Shell& shell, FileSystem& files, const ProcessRights& rights, bool confirm);

// ClearRecentDocuments without a question, noting the shortcuts of the
// Recent folder that the list is made of: gone afterwards, or refused when
// they are still there; a Recent folder that cannot be found is an error.
void ClearRecentDocuments(Shell& shell, FileSystem& files, CleanupJournal& journal);

}  // namespace tw
