// HTML reports of the three stores: a fixed head, one small table per
// entry, a fixed tail. Lines end in CR LF on every platform, as the text
// mode of the Windows runtime writes them.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "core/entry.h"

namespace tw {

enum class ReportKind { History, Cookies, Cache };

// "history", "cookies" or "cache": the save dialog's initial name.
const char* ReportDefaultName(ReportKind kind);
// "Internet Explorer History" and the like: the page's title and heading.
const char* ReportHeading(ReportKind kind);

std::string ReportHead(ReportKind kind);
std::string ReportTail();
class DateTexts;
// With the date texts of the whole report, which formats every day once.
// A kept cookie (one of a site whose cookies survive a cleanup) says so
// after its hits.
std::string ReportBlock(const PageEntry& entry, DateTexts& dates);
std::string ReportBlock(const FileEntry& entry, DateTexts& dates, bool kept);

// Whether a live cache item belongs in the Cache report: history and
// cookie items travel in the same search and are left out.
bool BelongsInCacheReport(const FileEntry& entry);

// The texts of an entry as a report shows them, before escaping.
std::string ReportTitle(const char* title);          // trimmed, "Untitled" when empty
std::string ReportFileName(const char* localFile);   // after the last "\", likewise
std::string ReportShorten(const std::string& text);  // over 90 characters: 90 and "..."

// Text made safe to stand in an HTML page: &, <, > and the double quote
// become entities. A page's title is the web site's text and must not
// become markup in a file opened from the local disk.
std::string EscapeHtml(const std::string& text);

// Writes a whole report; every block is written with one call.
// Page records in the history layout; an index file of cookies or cache
// items keeps that layout under its own kind's heading.
void WriteReport(std::FILE* out, const EntryArray<PageEntry>& entries, const std::string& dateTemplate,
                 ReportKind heading = ReportKind::History);
// In the Cookies report, the entries for which kept holds are marked.
using KeptCookieTest = std::function<bool(const FileEntry&)>;
void WriteReport(std::FILE* out, ReportKind kind, const EntryArray<FileEntry>& entries,
                 const std::string& dateTemplate, const KeptCookieTest& kept = nullptr);

}  // namespace tw
