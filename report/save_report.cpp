#include "report/save_report.h"

#include <cstdio>

#include "core/live_readers.h"
#include "platform/unique_handle.h"

namespace tw {

namespace {

std::string TrimPath(const std::string& path) {
    const char* blanks = " \t\n\v\f\r";
    const std::size_t begin = path.find_first_not_of(blanks);
    if (begin == std::string::npos)
        return std::string();
    return path.substr(begin, path.find_last_not_of(blanks) - begin + 1);
}

// Closes the file when the report is done, written or not.
struct FileCloser {
    static std::FILE* Invalid() { return nullptr; }
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = UniqueHandle<std::FILE*, FileCloser>;

File OpenForWriting(const std::string& path) { return File(std::fopen(path.c_str(), "wb")); }

// The band stays silent either way, but a report cut short by a full disk
// is not a saved report: the answer says so.
bool Finish(File& out) {
    const bool written = std::ferror(out.Get()) == 0;
    return std::fclose(out.Detach()) == 0 && written;
}

}  // namespace

bool SaveReport(ReportKind kind, FileDialogs& dialogs, ReportSources sources, const std::string& dateTemplate,
                void* owner) {
    std::string chosen;
    if (!dialogs.Run(ReportDialogRequest(ReportDefaultName(kind), owner), &chosen))
        return false;
    const std::string path = TrimPath(chosen);
    if (path.empty())
        return false;
    if (kind == ReportKind::History) {
        EntryArray<PageEntry> entries;
        if (!EnumerateHistory(sources.history, entries))
            return false;
        File out = OpenForWriting(path);
        if (!out)
            return false;
        WriteReport(out.Get(), entries, dateTemplate);
        return Finish(out);
    }
    EntryArray<FileEntry> entries;
    EnumerateUrlCache(sources.cache, kind == ReportKind::Cookies ? kCookiePattern : kContentPattern, entries);
    File out = OpenForWriting(path);
    if (!out)
        return false;
    WriteReport(out.Get(), kind, entries, dateTemplate, sources.keptCookies);
    return Finish(out);
}

}  // namespace tw
