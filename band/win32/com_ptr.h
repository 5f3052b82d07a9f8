// Owns one reference to a COM interface and releases it when replaced or
// when the owner goes away.
#pragma once

#include <unknwn.h>

namespace tw {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For an out parameter: drops what was held and hands over the slot.
    T** Put() {
        Reset();
        return &p_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset() {
        if (p_) {
            T* old = p_;
            p_ = nullptr;
            old->Release();
        }
    }
    // Gives the held reference to the caller.
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }

private:
    T* p_ = nullptr;
};

}  // namespace tw
