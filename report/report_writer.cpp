#include "report/report_writer.h"

#include <cstring>

#include "settings/date_format.h"

namespace tw {

namespace {

const char* const kKindWord[] = {"History", "Cookies", "Cache"};

// "\n" in the fragments below becomes the CR LF that text mode would write.
std::string Lines(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n')
            out += '\r';
        out += *p;
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Trim(const char* text) {
    std::size_t begin = 0, end = std::strlen(text);
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return std::string(text + begin, end - begin);
}

std::string Inserted(const std::string& text) {
    return EscapeHtml(ReportShorten(text));
}

std::string Dates(FileTime visited, FileTime updated, FileTime expires, DateTexts& dates) {
    std::string out = "<tr><td class=\"stable4\">LastVisited: ";
    out += dates.Text(visited, UnknownDates::Exactly1601);
    out += " &nbsp;&nbsp;LastUpdated: ";
    out += dates.Text(updated, UnknownDates::Exactly1601);
    out += " &nbsp;&nbsp;Expires: ";
    out += dates.Text(expires, UnknownDates::Exactly1601);
    out += "</td></tr>\n</table>\n<br>\n\n";
    return out;
}

const char kBlockStart[] =
    "<table border=\"0\" width=\"800\" bordercolor=\"#336699\" bgcolor=\"#abdafa\" cellspacing=\"2\" "
    "cellpadding=\"5\">\n<tr><td class=\"stable2\">";

std::string Url(const char* url) {
    return "</td></tr>\n<tr><td class=\"stable3\">" + Inserted(Trim(url)) + "</td></tr>\n";
}

void Put(std::FILE* out, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace

const char* ReportDefaultName(ReportKind kind) {
    static const char* const names[] = {"history", "cookies", "cache"};
    return names[int(kind)];
}

const char* ReportHeading(ReportKind kind) {
    static const char* const headings[] = {"Internet Explorer History", "Internet Explorer Cookies",
                                           "Internet Explorer Cache"};
    return headings[int(kind)];
}

std::string ReportHead(ReportKind kind) {
    const std::string word = kKindWord[int(kind)];
    const std::string style =
        " color: #000080;font-family:courier,system;font-size:10pt;font-weight:400;}\n";
    std::string head = "<html>\n<head>\n<title>Internet Explorer " + word + "</title>\n";
    head += "<style type=\"text/css\">\n";
    head += ".stable1 { border-top: 1px solid #0000F0; border-left: 1px solid #0000F0; border-right: 1px solid "
            "#0000F0; border-bottom: 1px solid #0000F0;" + style;
    head += ".stable2 { border-top: 1px solid #0000F0; border-left: 1px solid #0000F0; border-right: 1px solid "
            "#0000F0; border-bottom: 1px dotted #0000F0;" + style;
    head += ".stable3 { border-left: 1px solid #0000F0; border-right: 1px solid #0000F0; border-bottom: 1px "
            "dotted #0000F0;" + style;
    head += ".stable4 { border-left: 1px solid #0000F0; border-right: 1px solid #0000F0; border-bottom: 1px "
            "solid #0000F0;" + style;
    head += "</style></head>\n";
    head += "<body bgcolor=\"white\" leftMargin=\"0\" topMargin=\"0\" marginheight=\"0\" marginwidth=\"0\">\n";
    head += "<div align=\"center\">\n";
    head += "<table width=800 border=\"0\"><tr><td>\n";
    head += "<table border=\"0\" width=\"100%\" bgcolor=\"white\" cellspacing=\"2\" cellpadding=\"5\">\n";
    head += "<tr><td><h2>Internet Explorer " + word + "</h2></td></tr>\n";
    head += "</table>\n";
    return Lines(head.c_str());
}

std::string ReportTail() {
    return Lines("\n</td></tr></table>\n</div>\n</body>\n</html>");
}

std::string ReportTitle(const char* title) {
    const std::string t = Trim(title);
    return t.empty() ? "Untitled" : t;
}

std::string ReportFileName(const char* localFile) {
    const char* slash = std::strrchr(localFile, '\\');
    return ReportTitle(slash ? slash + 1 : localFile);
}

std::string ReportShorten(const std::string& text) {
    return text.size() > 90 ? text.substr(0, 90) + "..." : text;
}

std::string EscapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

bool BelongsInCacheReport(const FileEntry& entry) {
    return !std::strstr(entry.url, "Visited:") && !std::strstr(entry.url, "Cookie:");
}

std::string ReportBlock(const PageEntry& entry, DateTexts& dates) {
    std::string block = kBlockStart;
    block += Inserted(ReportTitle(entry.title));
    block += Url(entry.url);
    block += Dates(entry.lastVisited, entry.lastUpdated, entry.expires, dates);
    return Lines(block.c_str());
}

std::string ReportBlock(const FileEntry& entry, DateTexts& dates, bool kept) {
    std::string block = kBlockStart;
    block += Inserted(ReportFileName(entry.localFile));
    block += " &nbsp;&nbsp;Size: " + std::to_string(entry.size) + " bytes";
    block += " &nbsp;&nbsp;Hits: " + std::to_string(entry.hitRate);
    if (kept)
        block += " &nbsp;&nbsp;<b>Kept</b>";
    block += Url(entry.url);
    block += Dates(entry.lastModified, entry.lastAccess, entry.expire, dates);
    return Lines(block.c_str());
}

void WriteReport(std::FILE* out, const EntryArray<PageEntry>& entries, const std::string& dateTemplate,
                 ReportKind heading) {
    Put(out, ReportHead(heading));
    DateTexts dates(dateTemplate);
    for (std::size_t i = 0; i < entries.Count(); ++i)
        Put(out, ReportBlock(entries[i], dates));
    Put(out, ReportTail());
}

void WriteReport(std::FILE* out, ReportKind kind, const EntryArray<FileEntry>& entries,
                 const std::string& dateTemplate, const KeptCookieTest& kept) {
    Put(out, ReportHead(kind));
    DateTexts dates(dateTemplate);
    for (std::size_t i = 0; i < entries.Count(); ++i) {
        if (kind == ReportKind::Cache && !BelongsInCacheReport(entries[i]))
            continue;
        Put(out, ReportBlock(entries[i], dates, kind == ReportKind::Cookies && kept && kept(entries[i])));
    }
    Put(out, ReportTail());
}

}  // namespace tw
