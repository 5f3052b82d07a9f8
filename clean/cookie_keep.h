// The sites whose cookies survive a cleanup: the names the user keeps, how
// a cookie's host is matched against them, and what a cleanup does when the
// stored list cannot be read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tw {

// The host of a cookie URL ("Cookie:user@host/path", or a list's
// "user@host/path"): the text after the first "@" up to the first "/"
// after it. Empty without "@": such an entry belongs to no site.
std::string CookieHost(const std::string& url);

// The name that a typed site stands for: without blanks at either end,
// without one leading "." and then one leading "www.", in lower case.
std::string KeptSiteName(const std::string& typed);

class CookieKeepList {
public:
    CookieKeepList() = default;
    // Names as stored; they are compared in lower case.
    explicit CookieKeepList(std::vector<std::string> names);

    const std::vector<std::string>& Names() const { return names_; }
    bool Empty() const { return names_.empty(); }

    enum class Added { Yes, AlreadyKept, NotAName, Full };
    // Adds the name that typed stands for (KeptSiteName).
    Added Add(const std::string& typed);
    void RemoveAt(std::size_t index);

    // A name keeps its own host and every host that ends in "." + name.
    bool KeepsHost(const std::string& host) const;
    bool KeepsCookie(const std::string& url) const;

private:
    std::vector<std::string> names_;
};

// What a cleanup knows of the list. One that could not be read keeps every
// cookie: a list the user made must never be taken for an empty one.
struct CookieKeep {
    bool readable = true;
    CookieKeepList list;

    bool Spares(const char* url) const { return !readable || (url && list.KeepsCookie(url)); }
    // Whether the Cookies folder must stay: the files of kept cookies live there.
    bool KeepsAny() const { return !readable || !list.Empty(); }
};

CookieKeep LoadCookieKeep(Registry& registry, bool newSystem);
bool SaveCookieKeepList(Registry& registry, bool newSystem, const CookieKeepList& list);

// The messages: a cleanup that kept every cookie, a site that could not be
// added, the editor opened over an unreadable list, and a full list.
extern const char kKeepListUnreadable[];
extern const char kKeepListUnreadableToAdd[];
extern const char kKeepListUnreadableToEdit[];
extern const char kKeepListFull[];

}  // namespace tw
