#include "clean/cleanup.h"

#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "clean/refusal.h"
#include "core/ansi_text.h"
#include "core/classify.h"
#include "core/live_readers.h"
#include "platform/win_errors.h"

namespace tw {
namespace {

const char* const kLocalLinkSchemes[] = {"file://", "res://", "ms-help://", "mk:@",
                                         "hcp://",  "ms-its://", "ms-itss://", "wmk:"};
const char* const kPictureExtensions[] = {".jpg", ".jpeg", ".bmp", ".gif", ".png", ".tiff", ".tif", ".tmp"};
const char* const kArchiveExtensions[] = {".rar", ".zip", ".7z", ".cab"};
const char* const kScriptTexts[] = {"javascript:", "cgi-bin", "php?", "asp?"};
const char* const kScriptExtensions[] = {".xml", ".css", ".js", ".vbs", ".pl", ".jsp"};
const char* const kPageExtensions[] = {".htm", ".html", ".pdf", ".swf", ".txt"};

const char* const kHistoryStores[] = {"\\History.IE6", "\\History.IE5", "\\History.IE4"};
const char* const kCacheStores[] = {"\\Content.IE6", "\\Content.IE5", "\\Content.IE4"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// The history URL as the tests see it: ANSI, without trailing blanks.
std::string AnsiUrl(const std::u16string& url) {
    // A UTF-16 unit never needs more than two bytes of a double-byte page.
    std::string text(url.size() * 2 + 1, '\0');
    text.resize(ActiveCodePage().FromUtf16(url.c_str(), url.size(), &text[0], text.size()));
    while (!text.empty() && IsBlank(text.back()))
        text.pop_back();
    return text;
}

std::string Lowered(const char* text) {
    std::string s = text;
    ActiveCodePage().Lower(&s[0]);
    return s;
}

bool Between(const FileTime& t, const FileTime& from, const FileTime& to) {
    return CompareFileTime(t, from) >= 0 && CompareFileTime(t, to) <= 0;
}

bool Empty(const char* text) { return !text || !*text; }

}  // namespace

bool AnsiContains(const char* text, const char* part) {
    const std::size_t n = std::strlen(part);
    if (n == 0)
        return true;
    const AnsiCodePage& page = ActiveCodePage();
    for (const char* p = text; *p;) {
        if (std::strncmp(p, part, n) == 0)
            return true;
        p += page.IsLeadByte(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1;
    }
    return false;
}

bool EndsWithBytes(const char* text, const char* suffix) {
    const std::size_t length = std::strlen(text), n = std::strlen(suffix);
    return n <= length && std::memcmp(text + length - n, suffix, n) == 0;
}

std::uint64_t CleanupOutcome::FileBytes() const {
    std::uint64_t bytes = 0;
    for (const PurgedFile& f : files)
        bytes += f.bytes;
    return bytes;
}

std::string SizeText(std::uint64_t bytes) {
    const std::uint64_t kKb = 1024, kMb = 1024 * kKb;
    if (bytes < kMb)
        return std::to_string((bytes + kKb - 1) / kKb) + " KB";
    const std::uint64_t tenths = bytes / kMb * 10 + ((bytes % kMb) * 10 + kMb / 2) / kMb;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

std::string StoreErrorText(const StoreError& error) {
    static const struct { long code; const char* name; } kNames[] = {
        {kErrorFileNotFound, "not found"},
        {kErrorAccessDenied, "access denied"},
        {kErrorNotEnoughMemory, "not enough memory"},
        {kErrorSharingViolation, "in use by another process"},
        {kErrorDiskFull, "the disk is full"},
        {kREGDB_E_CLASSNOTREG, "class not registered"},
    };
    std::string text = error.what + " (error ";
    if (Failed(error.code)) {
        static const char kHex[] = "0123456789ABCDEF";
        const std::uint32_t code = std::uint32_t(error.code);
        text += "0x";
        for (int shift = 28; shift >= 0; shift -= 4)
            text += kHex[(code >> shift) & 0xF];
    } else {
        text += std::to_string(error.code);
    }
    for (const auto& n : kNames) {
        if (n.code == error.code)
            text += std::string(": ") + n.name;
    }
    return text + ")";
}

CleanupOutcome CleanupJournal::Take() {
    BeginPass();
    settled_ = 0;
    CleanupOutcome taken;
    std::swap(taken, outcome_);
    return taken;
}

namespace {

// FNV-1a over a text's code units.
template <typename Unit>
std::uint64_t Fnv1a(const Unit* first, const Unit* last) {
    std::uint64_t h = 14695981039346656037ULL;
    for (; first != last; ++first)
        h = (h ^ static_cast<std::make_unsigned_t<Unit>>(*first)) * 1099511628211ULL;
    return h;
}

}  // namespace

std::uint64_t CleanupJournal::UrlKey(const char* url) { return Fnv1a(url, url + std::strlen(url)); }

std::uint64_t CleanupJournal::UrlKey(const std::u16string& url) { return Fnv1a(url.data(), url.data() + url.size()); }

void CleanupJournal::BeginPass() {
    for (; settled_ < outcome_.deleted.size(); ++settled_)
        deletedUrls_.insert(UrlKey(outcome_.deleted[settled_].c_str()));
    deletedHistory_.insert(historyThisPass_.begin(), historyThisPass_.end());
    historyThisPass_.clear();
}

void CleanupJournal::NoteFailure(const std::string& what) {
    // A later pass meets a refused entry again and tries once more.
    for (const std::string& failed : outcome_.failed) {
        if (failed == what)
            return;
    }
    outcome_.failed.push_back(what);
}

void CleanupJournal::NoteError(StoreError error) {
    for (const StoreError& noted : outcome_.errors) {
        if (noted.what == error.what && noted.code == error.code)
            return;
    }
    outcome_.errors.push_back(std::move(error));
}

void CleanupJournal::Note(bool deleted, std::string what) {
    if (deleted)
        outcome_.deleted.push_back(std::move(what));
    else
        NoteFailure(what);
}

bool CleanupJournal::FileGone(const std::string& path) const {
    // Windows compares file names without regard to case.
    return !goneFiles_.empty() && goneFiles_.count(Lowered(path.c_str())) != 0;
}

bool Cleaner::DeleteEntry(std::string url) {
    // An entry whose file is in use is marked and goes when the file is
    // unlocked: it is deleted as far as the user can do anything about it.
    long error = kErrorSuccess;
    const bool deleted = Previewing() || cache_.DeleteEntry(url.c_str(), &error) || error == kErrorAccessDenied;
    if (journal_)
        journal_->Note(deleted, std::move(url));
    return deleted;
}

void Cleaner::NoteError(const char* what, long code) {
    if (firstError_.code == 0)
        firstError_ = StoreError{what, code};
    if (journal_)
        journal_->NoteError(StoreError{what, code});
}

StoreError Cleaner::TakeFirstError() {
    StoreError first;
    std::swap(first, firstError_);
    return first;
}

void Cleaner::KeepEntry(const std::string& url) {
    if (journal_)
        journal_->outcome_.kept.push_back(url);
}

template <typename Test>
void Cleaner::DeleteHistoryWhere(Test test) {
    long created = kS_OK;
    std::unique_ptr<HistoryStore> store = history_.CreateStore(&created);
    if (!store)
        return NoteError("the history store cannot be created", Failed(created) ? created : kE_FAIL);
    if (journal_)
        journal_->BeginPass();
    const long read = ForEachHistoryItem(*store, [&](const HistoryItem& item) {
        std::string url = AnsiUrl(item.url);
        // Only a match is looked up: most items are none.
        if (!test(url, item) || (journal_ && journal_->Deleted(item.url)))
            return;
        bool deleted = true;
        if (!Previewing()) {
            deleted = !Failed(store->DeleteUrl(item.url));
            // The cached copy of the page goes with its history item; most
            // pages have none, so its result says nothing.
            long error = kErrorSuccess;
            cache_.DeleteEntry(url.c_str(), &error);
        }
        if (!journal_)
            return;
        if (deleted)
            journal_->historyThisPass_.push_back(CleanupJournal::UrlKey(item.url));
        journal_->Note(deleted, std::move(url));
    });
    if (Failed(read))
        NoteError("the history store cannot be read", read);
}

// The URLs are collected and the search closed before the first deletion,
// so that no deletion runs under an open cache search. They are kept whole:
// a URL cut to a record's field would name another entry, or none.
template <typename Test>
void Cleaner::DeleteCacheWhere(bool cookies, Test test) {
    std::vector<std::string> doomed, doomedFiles;
    if (journal_)
        journal_->BeginPass();
    const long read = ForEachUrlCacheEntry(cache_, cookies ? kCookiePattern : kContentPattern, [&](const CacheEntryView& e) {
        if (!e.sourceUrl)
            return;
        if (!cookies && (HasCookieMarker(e.sourceUrl) || HasVisitedMarker(e.sourceUrl)))
            return;
        if (!test(e))
            return;
        // A real run meets a deleted entry no more.
        if (journal_ && journal_->Deleted(e.sourceUrl))
            return;
        if (cookies && Spares(e.sourceUrl))
            return KeepEntry(e.sourceUrl);
        // The content search yields no cookies, so a preview's purge could
        // not learn their files later: each goes when its entry is chosen.
        if (Previewing() && e.localFile)
            journal_->goneFiles_.insert(Lowered(e.localFile));
        doomed.push_back(e.sourceUrl);
        doomedFiles.push_back(e.localFile ? e.localFile : "");
    });
    // What was found before the failure is still deleted: the entries are
    // the criterion's, whatever came after them.
    if (read != kErrorSuccess)
        NoteError(cookies ? "the cookies cannot be read" : "the URL cache cannot be read", read);
    // A preview deletes all it found; while its outcome is empty the list is
    // handed over whole, not URL by URL, which keeps a preview of a large
    // cache as quick as the run itself.
    std::vector<std::string>& deleted = journal_ ? journal_->outcome_.deleted : doomed;
    if (Previewing() && deleted.empty())
        deleted.swap(doomed);
    // The files of the chosen entries are the cache's to remove, never the
    // purge's: it deleted them with their entries, deletes them when an
    // entry in use is unlocked, or keeps them with an entry it refused.
    for (std::size_t i = 0; i < doomed.size(); ++i) {
        DeleteEntry(std::move(doomed[i]));
        if (!doomedFiles[i].empty())
            sparedFiles_.insert(Lowered(doomedFiles[i].c_str()));
    }
}

void Cleaner::LearnGoneFiles() {
    journal_->BeginPass();
    if (journal_->goneFilesOf_ == journal_->deletedUrls_.size())
        return;
    // A history item deleted the page's cached copy, a content entry, and
    // its local file with it. What was once deleted stays so: the files
    // learnt before, and those of the chosen entries, stay gone.
    const long read = ForEachUrlCacheEntry(cache_, kContentPattern, [&](const CacheEntryView& e) {
        if (e.sourceUrl && e.localFile && journal_->Deleted(e.sourceUrl))
            journal_->goneFiles_.insert(Lowered(e.localFile));
    });
    if (read != kErrorSuccess)
        NoteError("the URL cache cannot be read", read);
    journal_->goneFilesOf_ = journal_->deletedUrls_.size();
}

void Cleaner::DeleteHistoryUrls(const char* text, bool exact) {
    if (Empty(text))
        return;
    DeleteHistoryWhere([&](const std::string& url, const HistoryItem&) {
        return exact ? url == text : AnsiContains(url.c_str(), text);
    });
}

void Cleaner::DeleteLoweredContaining(bool cookies, const char* text, bool exact) {
    if (Empty(text))
        return;
    if (exact) {
        if (cookies && Spares(text))
            KeepEntry(text);
        else
            DeleteEntry(text);
        return;
    }
    const std::string part = Lowered(text);
    std::string url;
    DeleteCacheWhere(cookies, [&](const CacheEntryView& e) {
        url.assign(e.sourceUrl);
        ActiveCodePage().Lower(&url[0]);
        return AnsiContains(url.c_str(), part.c_str());
    });
}

void Cleaner::DeleteCookieUrls(const char* text, bool exact) {
    DeleteLoweredContaining(true, text, exact);
}

void Cleaner::DeleteCacheUrls(const char* text, bool exact) {
    DeleteLoweredContaining(false, text, exact);
}

void Cleaner::DeleteHistoryBetween(FileTime from, FileTime to) {
    DeleteHistoryWhere([&](const std::string&, const HistoryItem& item) {
        return Between(item.lastUpdated, from, to);
    });
}

void Cleaner::DeleteCookiesBetween(FileTime from, FileTime to) {
    DeleteCacheWhere(true, [&](const CacheEntryView& e) { return Between(e.lastAccess, from, to); });
}

void Cleaner::DeleteCacheBetween(FileTime from, FileTime to) {
    DeleteCacheWhere(false, [&](const CacheEntryView& e) { return Between(e.lastAccess, from, to); });
}

void Cleaner::DeleteExpiredCookies() {
    const FileTime now = clock_.NowUtc();
    DeleteCacheWhere(true, [&](const CacheEntryView& e) { return CompareFileTime(e.expire, now) < 1; });
}

void Cleaner::DeleteCacheByExtension(const char* extension) {
    if (Empty(extension))
        return;
    DeleteCacheWhere(false, [&](const CacheEntryView& e) { return EndsWithBytes(e.sourceUrl, extension); });
}

// Only the subfolders of the first store folder that exists are purged;
// the files beside them, the store's own index file among them, stay.
void Cleaner::PurgeStoreSubfolders(int csidl, const char* const* storeNames, int count) {
    std::string base;
    if (!files_.SpecialFolder(csidl, &base))
        return;
    std::string store;
    for (int i = 0; i < count && store.empty(); ++i) {
        const std::string candidate = base + storeNames[i];
        FindEntry found;
        if (StartFileSearch(files_, candidate.c_str(), &found))
            store = candidate;
    }
    if (store.empty())
        return;
    FindEntry e;
    const FileSearch s = StartFileSearch(files_, (store + "\\*").c_str(), &e);
    if (!s)
        return;
    do {
        // "." names the store folder itself and ".." the one above it; they
        // are passed over by name, not by their place in the listing.
        if (e.name.empty() || e.name == "." || e.name.find("..") != std::string::npos)
            continue;
        if (e.attributes & kAttributeDirectory)
            PurgeFolderFiles((store + "\\" + e.name).c_str(), true);
    } while (files_.FindNext(s.Get(), &e));
}

void Cleaner::PurgeHistoryFolders() { PurgeStoreSubfolders(kFolderHistory, kHistoryStores, 3); }

void Cleaner::PurgeCacheFolders() { PurgeStoreSubfolders(kFolderInternetCache, kCacheStores, 3); }

void Cleaner::PurgeCookieFolder() {
    if (keep_ && keep_->KeepsAny())
        return;
    std::string folder;
    if (files_.SpecialFolder(kFolderCookies, &folder))
        PurgeFolderFiles(folder.c_str(), false);
}

void Cleaner::PurgeFolderFiles(const char* folder, bool removeFolder) {
    const std::string base = folder;
    FindEntry e;
    {  // the search is closed before the folder goes
        const FileSearch s = StartFileSearch(files_, (base + "\\*.*").c_str(), &e);
        if (!s)
            return;
        if (Previewing())
            LearnGoneFiles();
        do {
            if (e.name.empty() || e.name == "." || e.name == "..")
                continue;
            // An index file is the cache's own, which keeps it open while it
            // runs (the Cookies folder's, a History subfolder's): only a
            // removal at restart may take it, so no purge tries, and a
            // preview says so by construction.
            if (Lowered(e.name.c_str()) == "index.dat")
                continue;
            const std::string path = base + "\\" + e.name;
            // The file of an entry this run chose is the cache's (see
            // DeleteCacheWhere): the browser would be left with an entry without it.
            if (!sparedFiles_.empty() && sparedFiles_.count(Lowered(path.c_str())))
                continue;
            // A subfolder cannot be deleted as a file: it is no file of the purge.
            const bool file = !(e.attributes & kAttributeDirectory);
            if (Previewing()) {
                if (file && !journal_->FileGone(path))
                    journal_->outcome_.files.push_back(PurgedFile{path, e.size});
                continue;
            }
            if (e.attributes & kAttributeReadOnly)
                files_.SetAttributes(path.c_str(), e.attributes & ~kAttributeReadOnly);
            // Security is changed only for a file whose deletion was refused
            // for the user's rights, and then only in favour of that user; a
            // file in use (a sharing violation) keeps its owner and access
            // list, which would not free it; a subfolder's are left alone.
            long error = kErrorSuccess;
            bool removed = files_.RemoveFile(path.c_str(), &error);
            if (!removed && file && error == kErrorAccessDenied) {
                files_.TakeOwnershipForCurrentUser(path.c_str());
                removed = files_.RemoveFile(path.c_str(), &error);
                // Still refused after the take-over: the process lacks the
                // rights (a low one in the user's own folder).
                purgeRefused_ = purgeRefused_ || (!removed && IsRefusal(error));
            }
            if (journal_ && file) {
                if (removed)
                    journal_->outcome_.files.push_back(PurgedFile{path, e.size});
                else
                    journal_->NoteFailure(path);
            }
        } while (files_.FindNext(s.Get(), &e));
    }
    if (Previewing())
        return;
    std::uint32_t attributes = 0;
    if (files_.GetAttributes(folder, &attributes) && (attributes & kAttributeReadOnly))
        files_.SetAttributes(folder, attributes & ~kAttributeReadOnly);
    if (removeFolder)
        files_.RemoveFolder(folder);
}

namespace {

template <std::size_t N, typename Pass>
void EachOf(const char* const (&items)[N], Pass pass) {
    for (const char* item : items)
        pass(item);
}

void CleanHistory(Cleaner& c, std::int32_t kind, const char* text, const CleanupCriteria& k) {
    switch (kind) {
    case kCleanAll:
        c.DeleteHistoryUrls(".", false);
        c.PurgeHistoryFolders();
        break;
    case kCleanLocalLinks:
        EachOf(kLocalLinkSchemes, [&](const char* p) { c.DeleteHistoryUrls(p, false); });
        break;
    case kCleanSelectedProtocol:
    case kCleanContainingText:
        c.DeleteHistoryUrls(text, false);
        break;
    case kCleanBetweenDates:
        c.DeleteHistoryBetween(k.from, k.to);
        break;
    default:
        break;
    }
}

void CleanCookies(Cleaner& c, std::int32_t kind, const char* text, const CleanupCriteria& k) {
    switch (kind) {
    case kCleanAll:
        c.DeleteCookieUrls(".", false);
        c.PurgeCookieFolder();
        break;
    case kCleanExpiredCookies:
        c.DeleteExpiredCookies();
        break;
    case kCleanContainingText:
        c.DeleteCookieUrls(text, false);
        break;
    case kCleanBetweenDates:
        c.DeleteCookiesBetween(k.from, k.to);
        break;
    default:
        break;
    }
}

void CleanCache(Cleaner& c, std::int32_t kind, const char* text, const CleanupCriteria& k) {
    auto byExtension = [&](const char* e) { c.DeleteCacheByExtension(e); };
    switch (kind) {
    case kCleanAll:
        c.DeleteCacheUrls(".", false);
        c.PurgeCacheFolders();
        break;
    case kCleanPictures:
        EachOf(kPictureExtensions, byExtension);
        break;
    case kCleanArchives:
        EachOf(kArchiveExtensions, byExtension);
        break;
    case kCleanStylesAndScripts:
        EachOf(kScriptTexts, [&](const char* p) { c.DeleteCacheUrls(p, false); });
        EachOf(kScriptExtensions, byExtension);
        break;
    case kCleanPagesAndOtherFiles:
        EachOf(kPageExtensions, byExtension);
        break;
    case kCleanContainingText:
        c.DeleteCacheUrls(text, false);
        break;
    case kCleanBetweenDates:
        c.DeleteCacheBetween(k.from, k.to);
        break;
    default:
        break;
    }
}

}  // namespace

bool RunCleanupWithKeepList(const CleanupCriteria& criteria, bool useKeepList, Cleaner& cleaner, ListRebuilder& lists,
                            Registry& registry, bool newSystem) {
    if (criteria.store != kStoreCookies) {
        RunCleanup(criteria, cleaner, lists);
        return true;
    }
    CookieKeep keep = LoadCookieKeep(registry, newSystem);
    if (!useKeepList && keep.readable)
        keep.list = CookieKeepList();
    cleaner.KeepCookies(&keep);
    RunCleanup(criteria, cleaner, lists);
    cleaner.KeepCookies(nullptr);
    return keep.readable;
}

long RunCleanupKeeping(const CleanupCriteria& criteria, bool useKeepList, Cleaner& cleaner, ListRebuilder& lists,
                       Registry& registry, bool newSystem, Shell& shell) {
    if (!RunCleanupWithKeepList(criteria, useKeepList, cleaner, lists, registry, newSystem))
        shell.ShowMessage(kKeepListUnreadable, MessageIcon::Exclamation);
    // Once for the run, however many passes met the refusal; other
    // failures stay silent, as a store with nothing in it does.
    static const char* const kStores[] = {"History", "Cookies", "Cache"};
    const bool refused = IsRefusal(cleaner.FirstError().code) || cleaner.PurgeRefused();
    if (refused && criteria.store >= kStoreHistory && criteria.store <= kStoreCache)
        TellRefusal(shell, std::string("clean up Internet Explorer ") + kStores[criteria.store - kStoreHistory]);
    return 0;
}

long RunCleanup(const CleanupCriteria& criteria, Cleaner& cleaner, ListRebuilder& lists) {
    const std::int32_t store = criteria.store;
    if (store != kStoreHistory && store != kStoreCookies && store != kStoreCache)
        return 0;
    // The sender's field need not be terminated.
    char text[sizeof criteria.text + 1] = {};
    std::memcpy(text, criteria.text, sizeof criteria.text);
    lists.ShowStore(store);
    if (store == kStoreHistory) {
        ComApartment com(cleaner.History());
        CleanHistory(cleaner, criteria.kind, text, criteria);
        lists.RebuildList(store);
    } else {
        (store == kStoreCookies ? CleanCookies : CleanCache)(cleaner, criteria.kind, text, criteria);
        lists.RebuildList(store);
    }
    return 0;
}

}  // namespace tw
