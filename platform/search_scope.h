// Owns a search opened through a seam (FileSystem, UrlCache): the service
// closes it when the scope ends, on every path out of a listing.
#pragma once

namespace tw {

template <typename Service>
class SearchScope {
public:
    using Search = typename Service::Search;
    SearchScope(Service& service, Search search) : service_(service), search_(search) {}
    ~SearchScope() {
        if (search_)
            service_.FindClose(search_);
    }
    SearchScope(const SearchScope&) = delete;
    SearchScope& operator=(const SearchScope&) = delete;

    Search Get() const { return search_; }
    explicit operator bool() const { return search_ != nullptr; }

private:
    Service& service_;
    Search search_;
};

}  // namespace tw
