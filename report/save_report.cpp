#include "report/save_report.h"

#include <cstdio>

#include "core/live_readers.h"

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
struct File {
    explicit File(const std::string& path) : f(std::fopen(path.c_str(), "wb")) {}
    ~File() {
        if (f)
            std::fclose(f);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    std::FILE* f;
};

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
        File out(path);
        if (!out.f)
            return false;
        WriteReport(out.f, entries, dateTemplate);
        return true;
    }
    EntryArray<FileEntry> entries;
    EnumerateUrlCache(sources.cache, kind == ReportKind::Cookies ? kCookiePattern : kAllPattern, entries);
    File out(path);
    if (!out.f)
        return false;
    WriteReport(out.f, kind, entries, dateTemplate, sources.keptCookies);
    return true;
}

}  // namespace tw
