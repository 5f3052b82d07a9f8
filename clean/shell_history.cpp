#include "clean/shell_history.h"

#include <algorithm>
#include <string>
#include <vector>

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

}  // namespace

void ClearTypedUrls(Registry& registry, Shell& shell, bool confirm, CleanupJournal* journal) {
    if (!Confirmed(shell, confirm, kTypedUrlsQuestion))
        return;
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kTypedUrlsKey, !Previewing(journal)) != kErrorSuccess)
        return;
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
        const bool deleted = registry.DeleteValue(key.Get(), name.c_str()) == kErrorSuccess;
        if (journal)
            journal->Note(deleted, text);
        if (!deleted)
            break;
    }
}

void ClearRecentDocuments(Shell& shell, bool confirm) {
    if (Confirmed(shell, confirm, kRecentDocumentsQuestion))
        shell.ClearRecentDocuments();
}

void ClearRunHistory(Registry& registry, Shell& shell, bool confirm, CleanupJournal* journal) {
    if (!Confirmed(shell, confirm, kRunHistoryQuestion))
        return;
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kRunMruKey, !Previewing(journal)) != kErrorSuccess)
        return;
    char name[2] = {'a', '\0'};
    for (; name[0] <= 'z'; ++name[0]) {
        std::string text;
        const bool there = journal && ValueText(key, name, &text);
        if (Previewing(journal)) {
            if (there)
                journal->NoteDeleted(text);
            continue;
        }
        const bool deleted = registry.DeleteValue(key.Get(), name) == kErrorSuccess;
        if (there)
            journal->Note(deleted, text);
    }
    if (!Previewing(journal))
        registry.DeleteValue(key.Get(), "MRUList");
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
    }
    if (!journal.Preview())
        shell.ClearRecentDocuments();
    std::uint32_t attributes = 0;
    for (const std::string& path : shortcuts)
        journal.Note(journal.Preview() || !files.GetAttributes(path.c_str(), &attributes), path);
}

}  // namespace tw
