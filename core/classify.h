// How a URL names its store, and what the tabs show of one entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/entry.h"

namespace tw {

extern const char kVisitedMarker[];  // "Visited:"
extern const char kCookieMarker[];   // "Cookie:"

// Case-sensitive, anywhere in the URL, as the stores write the markers.
bool HasVisitedMarker(const char* url);
bool HasCookieMarker(const char* url);

// The records of the daily and weekly History files (the MSHist folders)
// begin with the period they cover, ":2013031020130311:", in place of
// "Visited:". The marker's length when the URL begins with one, else 0.
std::size_t HistoryPeriodMarker(const char* url);

// Where an item of the live cache belongs, by its markers.
enum class LiveItem { Dropped, Cookie, Cache };
LiveItem ClassifyLiveItem(const char* url);

// A whole index file takes the kind of its first record; a record of a
// daily or weekly History file is a History record.
EntryKind IndexFileKind(const PageEntry& first);

// The address of a live cookie: the text after the first "Cookie:", or the
// whole URL.
const char* LiveCookieAddress(const char* url);

struct UserAndAddress {
    std::string user;
    std::string address;
};
// The user and address of an index-file History or Cookie record; in a
// History record they follow "Visited:" or the period marker.
UserAndAddress IndexUserAndAddress(const char* url, EntryKind kind);

// The address of an index-file Cache record: after the first "@", or all.
const char* IndexCacheAddress(const char* url);

// A live History title, "Untitled" when empty.
const char* LiveHistoryTitle(const char* title);

// Sizes and hit counts are shown as signed 32-bit decimals.
std::string NumberText(std::uint32_t value);

// The image of a Cache row's first cell, from its local file name; the
// padlock is decided on the URL, since a local path never holds "https:".
int CacheRowImage(const char* localFile, const char* url);

// Row images of the lists' image strip.
enum RowImage : int {
    kImageHistory = 0,
    kImageCookie = 1,
    kImageWebPage = 2,
    kImageSecure = 3,
    kImagePicture = 4,
    kImageScript = 5,
    kImageStyle = 6,
    kImageMedia = 7,
    kImageBlank = 8,
    kImageKeptCookie = 9,  // a cookie of a site whose cookies are kept
};

}  // namespace tw
