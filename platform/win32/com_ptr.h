// An owning COM interface pointer: released when replaced or destroyed.
#pragma once

#include <unknwn.h>

namespace tw {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference that the caller already holds.
    explicit ComPtr(T* p) : p_(p) {}
    // Takes a reference of its own to p.
    static ComPtr Share(T* p) {
        if (p)
            p->AddRef();
        return ComPtr(p);
    }
    ComPtr(const ComPtr& o) : p_(o.p_) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr o) noexcept {
        T* old = p_;
        p_ = o.p_;
        o.p_ = old;
        return *this;
    }

    void Reset() {
        if (p_) {
            T* p = p_;
            p_ = nullptr;
            p->Release();
        }
    }
    // For out parameters: releases what is held first.
    T** Receive() {
        Reset();
        return &p_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace tw
