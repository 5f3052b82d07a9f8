// One owner for every kind of handle: a value that Close frees when the
// owner goes or is given another. Close says which value means "none" and
// may carry what the freeing needs (the window of a DC, the service that
// opened a search).
#pragma once

#include <utility>

namespace tw {

// Close provides `static H Invalid()` and `void operator()(H) const`.
template <typename H, typename Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h, Close close = Close()) : h_(h), close_(std::move(close)) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.Detach()), close_(std::move(o.close_)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            Reset(o.Detach());
            close_ = std::move(o.close_);
        }
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    void Reset(H h = Close::Invalid()) {
        const H old = h_;
        h_ = h;
        if (old != Close::Invalid())
            close_(old);
    }
    // Gives the handle up without freeing it.
    H Detach() {
        const H h = h_;
        h_ = Close::Invalid();
        return h;
    }
    // For out parameters: frees what is held first.
    H* Receive() {
        Reset();
        return &h_;
    }
    H Get() const { return h_; }
    explicit operator bool() const { return h_ != Close::Invalid(); }

private:
    H h_ = Close::Invalid();
    Close close_;
};

}  // namespace tw
