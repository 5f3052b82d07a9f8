#include "clean/cookie_keep.h"

#include <cstring>

#include "settings/settings_store.h"

namespace tw {

namespace {

// Host names are ASCII; other bytes compare as they are.
std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool StartsWith(const std::string& text, const char* prefix) { return text.compare(0, std::strlen(prefix), prefix) == 0; }

}  // namespace

const char kKeepListUnreadable[] =
    "The list of sites whose cookies are kept cannot be read, so no cookies were deleted.";
const char kKeepListUnreadableToAdd[] =
    "The list of sites whose cookies are kept cannot be read, so no site was added.";
const char kKeepListUnreadableToEdit[] =
    "The list of sites whose cookies are kept cannot be read. OK replaces it with the list shown here.";
const char kKeepListFull[] = "The list of sites whose cookies are kept is full: it holds 1000 sites.";

std::string CookieHost(const std::string& url) {
    const std::size_t at = url.find('@');
    if (at == std::string::npos)
        return std::string();
    const std::size_t slash = url.find('/', at + 1);
    return url.substr(at + 1, slash == std::string::npos ? std::string::npos : slash - at - 1);
}

std::string KeptSiteName(const std::string& typed) {
    std::size_t begin = 0, end = typed.size();
    while (begin < end && IsBlank(typed[begin]))
        ++begin;
    while (end > begin && IsBlank(typed[end - 1]))
        --end;
    std::string name = AsciiLower(typed.substr(begin, end - begin));
    if (StartsWith(name, "."))
        name.erase(0, 1);
    if (StartsWith(name, "www."))
        name.erase(0, 4);
    return name;
}

CookieKeepList::CookieKeepList(std::vector<std::string> names) : names_(std::move(names)) {
    for (std::string& name : names_)
        name = AsciiLower(name);
}

CookieKeepList::Added CookieKeepList::Add(const std::string& typed) {
    const std::string name = KeptSiteName(typed);
    if (name.empty() || name.size() > kKeptSiteLengthMost)
        return Added::NotAName;
    for (const std::string& kept : names_) {
        if (kept == name)
            return Added::AlreadyKept;
    }
    if (names_.size() >= kKeptSitesMost)
        return Added::Full;
    names_.push_back(name);
    return Added::Yes;
}

void CookieKeepList::RemoveAt(std::size_t index) {
    if (index < names_.size())
        names_.erase(names_.begin() + std::ptrdiff_t(index));
}

bool CookieKeepList::KeepsHost(const std::string& host) const {
    const std::string h = AsciiLower(host);
    for (const std::string& name : names_) {
        if (name.empty() || name.size() > h.size())
            continue;
        const std::size_t rest = h.size() - name.size();
        if (h.compare(rest, name.size(), name) == 0 && (rest == 0 || h[rest - 1] == '.'))
            return true;
    }
    return false;
}

bool CookieKeepList::KeepsCookie(const std::string& url) const {
    const std::string host = CookieHost(url);
    return !host.empty() && KeepsHost(host);
}

CookieKeep LoadCookieKeep(Registry& registry, bool newSystem) {
    CookieKeep keep;
    std::vector<std::string> names;
    keep.readable = ReadCookiesToKeep(registry, newSystem, &names);
    keep.list = CookieKeepList(std::move(names));
    return keep;
}

bool SaveCookieKeepList(Registry& registry, bool newSystem, const CookieKeepList& list) {
    return SaveCookiesToKeep(registry, newSystem, list.Names());
}

}  // namespace tw
