#include "clean/shell_history.h"

#include <algorithm>
#include <string>
#include <vector>

#include "clean/refusal.h"
#include "core/ansi_text.h"
#include "platform/win_errors.h"

namespace tw {

const char kTypedUrlsKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char kTypedUrlsQuestion[] = "Are you sure you want to delete Typed URL List?";
const char kRecentDocumentsQuestion[] = "Are you sure you want to delete Desktop Recent Documents History?";
const char kRunHistoryQuestion[] = "Are you sure you want to delete Desktop Run History?";

namespace {

bool Confirmed(Shell& shell, bool confirm, const char* question) {
    return !confirm || shell.AskYesNo(question);
}

// Whether the value is there; text is what it holds up to its first zero,
// or its name when it holds no text.
bool ValueText(RegKey& key, const char* name, std::string* text) {
    std::uint32_t type = 0, size = 0;
    if (key.Owner().Query(key.Get(), name, &type, nullptr, &size) != kErrorSuccess)
        return false;
    std::vector<char> data(size);
    text->clear();
    if ((type == kRegSz || type == kRegExpandSz) && size > 0 &&
        key.Owner().Query(key.Get(), name, &type, data.data(), &size) == kErrorSuccess) {
        text->assign(data.data(), std::min<std::size_t>(size, data.size()));
        text->resize(std::min(text->size(), text->find('\0')));
    }
    if (text->empty())
        *text = name;
    return true;
}

bool Previewing(const CleanupJournal* journal) { return journal && journal->Preview(); }

// Opens the key for deleting its values. Answers what stops the cleaner: a
// missing key is nothing to do (kErrorFileNotFound), any other refusal is
// noted as the key's error.
long OpenForDeleting(RegKey& key, const char* path, const char* name, CleanupJournal* journal) {
    const long opened = key.Open(RegRoot::CurrentUser, path, true);
    if (opened != kErrorSuccess && opened != kErrorFileNotFound && journal)
        journal->NoteError(StoreError{std::string("the ") + name + " key cannot be opened for writing", opened});
    return opened;
}

long Done(long opened) { return opened == kErrorFileNotFound ? kErrorSuccess : opened; }

// Whether the key, read only, holds any of the names: what a refused
// cleaner would have deleted.
bool HoldsAnyOf(Registry& registry, const char* path, const std::vector<std::string>& names) {
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, path) != kErrorSuccess)
        return false;
    for (const std::string& name : names) {
        std::uint32_t type = 0, size = 0;
        if (registry.Query(key.Get(), name.c_str(), &type, nullptr, &size) == kErrorSuccess)
            return true;
    }
    return false;
}

void TellIfRefused(Registry& registry, Shell& shell, long error, const char* path,
                   const std::vector<std::string>& names, const char* what) {
    if (IsRefusal(error) && HoldsAnyOf(registry, path, names))
        TellRefusal(shell, what);
}

}  // namespace

void ClearTypedUrlsTelling(Registry& registry, Shell& shell, bool confirm) {
    TellIfRefused(registry, shell, ClearTypedUrls(registry, shell, confirm), kTypedUrlsKey, {"url1"},
                  "clear the Typed URL List");
}

void ClearRunHistoryTelling(Registry& registry, Shell& shell, bool confirm) {
    std::vector<std::string> names{"MRUList"};
    for (char letter = 'a'; letter <= 'z'; ++letter)
        names.push_back(std::string(1, letter));
    TellIfRefused(registry, shell, ClearRunHistory(registry, shell, confirm), kRunMruKey, names,
                  "clear the Desktop Run History");
}

void ClearRecentDocumentsTelling(Shell& shell, FileSystem& files, const ProcessRights& rights, bool confirm) {
    if (!Confirmed(shell, confirm, kRecentDocumentsQuestion))
        return;
    CleanupJournal journal(false);
    ClearRecentDocuments(shell, files, journal);
    // Elsewhere a shortcut left behind is none of the platform's refusals:
    // Wine, for one, leaves the folder as it is.
    if (rights.IsProtectedMode() && !journal.Outcome().failed.empty())
        TellRefusal(shell, "clear the Desktop Recent Documents History");
}

long ClearTypedUrls(Registry& registry, Shell& shell, bool confirm, CleanupJournal* journal) {
    if (!Confirmed(shell, confirm, kTypedUrlsQuestion))
        return kErrorSuccess;
    RegKey key(registry);
    const long opened = OpenForDeleting(key, kTypedUrlsKey, "TypedURLs", journal);
    if (opened != kErrorSuccess)
        return Done(opened);
    // The browser numbers its list without gaps, so the first missing
    // number ends it.
    for (unsigned long n = 1; n != 0; ++n) {
        const std::string name = "url" + std::to_string(n);
        std::string text;
        if (journal && !ValueText(key, name.c_str(), &text))
            break;
        if (Previewing(journal)) {
            journal->NoteDeleted(text);
            continue;
        }
        const long deleted = registry.DeleteValue(key.Get(), name.c_str());
        if (deleted == kErrorFileNotFound)
            break;
        if (journal)
            journal->Note(deleted == kErrorSuccess, text);
        if (deleted != kErrorSuccess)
            return deleted;
    }
    return kErrorSuccess;
}

void ClearRecentDocuments(Shell& shell, bool confirm) {
    if (Confirmed(shell, confirm, kRecentDocumentsQuestion))
        shell.ClearRecentDocuments();
}

long ClearRunHistory(Registry& registry, Shell& shell, bool confirm, CleanupJournal* journal) {
    if (!Confirmed(shell, confirm, kRunHistoryQuestion))
        return kErrorSuccess;
    RegKey key(registry);
    const long opened = OpenForDeleting(key, kRunMruKey, "RunMRU", journal);
    if (opened != kErrorSuccess)
        return Done(opened);
    long first = kErrorSuccess;
    char name[2] = {'a', '\0'};
    for (; name[0] <= 'z'; ++name[0]) {
        std::string text;
        const bool there = journal && ValueText(key, name, &text);
        if (Previewing(journal)) {
            if (there)
                journal->NoteDeleted(text);
            continue;
        }
        // An absent letter is no failure: the list uses the letters it needs.
        const long deleted = registry.DeleteValue(key.Get(), name);
        if (there)
            journal->Note(deleted == kErrorSuccess, text);
        if (deleted != kErrorSuccess && deleted != kErrorFileNotFound && first == kErrorSuccess)
            first = deleted;
    }
    if (Previewing(journal))
        return kErrorSuccess;
    // The order of the letters left behind would name values that are gone.
    const long order = registry.DeleteValue(key.Get(), "MRUList");
    if (order != kErrorSuccess && order != kErrorFileNotFound) {
        if (journal)
            journal->NoteError(StoreError{"\"MRUList\" cannot be deleted", order});
        if (first == kErrorSuccess)
            first = order;
    }
    return first;
}

void ClearRecentDocuments(Shell& shell, FileSystem& files, CleanupJournal& journal) {
    std::vector<std::string> shortcuts;
    std::string folder;
    FindEntry e;
    if (files.SpecialFolder(kFolderRecent, &folder)) {
        const FileSearch s = StartFileSearch(files, (folder + "\\*").c_str(), &e);
        for (bool more = bool(s); more; more = files.FindNext(s.Get(), &e)) {
            std::string lowered = e.name;
            ActiveCodePage().Lower(&lowered[0]);
            if (!(e.attributes & kAttributeDirectory) && EndsWithBytes(lowered.c_str(), ".lnk"))
                shortcuts.push_back(folder + "\\" + e.name);
        }
    } else {
        // The list is still emptied, but what it held, and whether it went,
        // cannot be told.
        journal.NoteError(StoreError{"the Recent folder cannot be found", kErrorFileNotFound});
    }
    if (!journal.Preview())
        shell.ClearRecentDocuments();
    std::uint32_t attributes = 0;
    for (const std::string& path : shortcuts)
        journal.Note(journal.Preview() || !files.GetAttributes(path.c_str(), &attributes), path);
}

}  // namespace tw
