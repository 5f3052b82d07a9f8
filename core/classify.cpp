#include "core/classify.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "core/ansi_text.h"

namespace tw {

const char kVisitedMarker[] = "Visited:";
const char kCookieMarker[] = "Cookie:";

bool HasVisitedMarker(const char* url) { return std::strstr(url, kVisitedMarker) != nullptr; }
bool HasCookieMarker(const char* url) { return std::strstr(url, kCookieMarker) != nullptr; }

std::size_t HistoryPeriodMarker(const char* url) {
    // ':', two dates of eight digits, ':'.
    const std::size_t kLength = 18;
    if (url[0] != ':')
        return 0;
    for (std::size_t i = 1; i < kLength - 1; ++i)
        if (url[i] < '0' || url[i] > '9')
            return 0;
    return url[kLength - 1] == ':' ? kLength : 0;
}

LiveItem ClassifyLiveItem(const char* url) {
    if (HasVisitedMarker(url))
        return LiveItem::Dropped;
    return HasCookieMarker(url) ? LiveItem::Cookie : LiveItem::Cache;
}

EntryKind IndexFileKind(const PageEntry& first) {
    // Tested first: the marker stands at the start, and the address after
    // it may hold "Cookie:" as any URL may.
    if (HistoryPeriodMarker(first.url))
        return EntryKind::History;
    if (HasCookieMarker(first.url))
        return EntryKind::Cookie;
    if (HasVisitedMarker(first.url))
        return EntryKind::History;
    return EntryKind::Cache;
}

const char* LiveCookieAddress(const char* url) {
    const char* p = std::strstr(url, kCookieMarker);
    return p ? p + sizeof kCookieMarker - 1 : url;
}

UserAndAddress IndexUserAndAddress(const char* url, EntryKind kind) {
    const char* marker = kind == EntryKind::Cookie ? kCookieMarker : kVisitedMarker;
    const char* text = url;
    const std::size_t period = kind == EntryKind::History ? HistoryPeriodMarker(url) : 0;
    if (period)
        text = url + period;
    else if (const char* p = std::strstr(url, marker))
        text = p + std::strlen(marker);
    while (*text && std::strchr(" \t\n\v\f\r", *text))
        ++text;
    UserAndAddress result;
    if (const char* at = std::strchr(text, '@')) {
        result.user.assign(text, at);
        result.address = at + 1;
    } else {
        result.address = text;
    }
    return result;
}

const char* IndexCacheAddress(const char* url) {
    const char* at = std::strchr(url, '@');
    return at ? at + 1 : url;
}

const char* LiveHistoryTitle(const char* title) { return *title ? title : "Untitled"; }

std::string NumberText(std::uint32_t value) {
    char text[16];
    // Two's complement, as "%i" of the 32-bit value shows it.
    const long long v = value > 0x7FFFFFFFu ? (long long)value - 0x100000000LL : (long long)value;
    const std::to_chars_result r = std::to_chars(text, text + sizeof text, v);
    return std::string(text, r.ptr);
}

int CacheRowImage(const char* localFile, const char* url) {
    char lowered[sizeof FileEntry().localFile];
    CopyField(lowered, localFile);
    ActiveCodePage().Lower(lowered);
    auto has = [&](const char* s) { return std::strstr(lowered, s) != nullptr; };
    if (has(".htm"))
        return kImageWebPage;
    char loweredUrl[sizeof FileEntry().url];
    CopyField(loweredUrl, url);
    ActiveCodePage().Lower(loweredUrl);
    if (std::strstr(loweredUrl, "https:"))
        return kImageSecure;
    if (has(".gif") || has(".bmp") || has(".jpg") || has(".jpeg") || has(".png"))
        return kImagePicture;
    if (has(".js"))
        return kImageScript;
    if (has(".css"))
        return kImageStyle;
    if (has(".avi") || has(".mp3") || has(".mid") || has(".au"))
        return kImageMedia;
    return kImageBlank;
}

}  // namespace tw
