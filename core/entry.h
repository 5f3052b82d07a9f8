// The two fixed-size records in which every History, Cookie and Cache item
// travels, and the growable array that a reader fills with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tw {

// The Windows FILETIME layout: 100-ns intervals since 1601-01-01 UTC, as two
// 32-bit halves. Kept here so that portable code need not see <windows.h>.
struct FileTime {
    std::uint32_t low = 0;
    std::uint32_t high = 0;

    std::uint64_t Value() const { return (std::uint64_t(high) << 32) | low; }
    static FileTime FromValue(std::uint64_t v) {
        FileTime t;
        t.low = std::uint32_t(v);
        t.high = std::uint32_t(v >> 32);
        return t;
    }
    bool IsZero() const { return low == 0 && high == 0; }
};

// -1, 0 or 1 as a is earlier than, equal to or later than b (CompareFileTime).
inline int CompareFileTime(const FileTime& a, const FileTime& b) {
    const std::uint64_t x = a.Value(), y = b.Value();
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Copies text into a fixed field, cut to the field's size less one so that
// the terminator always fits. A null text leaves the field empty.
void CopyField(char* field, std::size_t fieldSize, const char* text);
// The same for a text of known length that need not be terminated.
void CopyField(char* field, std::size_t fieldSize, const char* text, std::size_t length);

template <std::size_t N>
void CopyField(char (&field)[N], const char* text) {
    CopyField(field, N, text);
}

// A new record is all zeros.
struct PageEntry {
    char url[1024] = {};
    char title[256] = {};
    FileTime lastUpdated;
    FileTime lastVisited;
    FileTime expires;
};

struct FileEntry {
    char url[1024] = {};
    char localFile[260] = {};
    FileTime lastAccess;
    FileTime lastModified;
    FileTime expire;
    std::uint32_t size = 0;
    std::uint32_t hitRate = 0;
};

// History 0, Cookie 1, Cache 2: also the positions of the tabs and lists.
enum class EntryKind : int { History = 0, Cookie = 1, Cache = 2 };

// Records by value, growing to 1 and then doubling. The records are plain
// bytes, so realloc keeps them; an append that cannot get memory reports
// failure and drops the record rather than throwing. The allocator is a
// parameter only so that tests can make it fail; it must hand out memory
// that std::free releases.
template <typename T>
class EntryArray {
public:
    using Reallocate = void* (*)(void*, std::size_t);

    explicit EntryArray(Reallocate reallocate = &std::realloc) : reallocate_(reallocate) {}
    ~EntryArray() { Clear(); }
    EntryArray(const EntryArray&) = delete;
    EntryArray& operator=(const EntryArray&) = delete;
    EntryArray(EntryArray&& other) noexcept
        : items_(other.items_), count_(other.count_), capacity_(other.capacity_),
          reallocate_(other.reallocate_) {
        other.items_ = nullptr;
        other.count_ = other.capacity_ = 0;
    }

    bool Append(const T& item) {
        if (count_ == capacity_) {
            const std::size_t grown = capacity_ == 0 ? 1 : capacity_ * 2;
            if (grown < capacity_ || grown > SIZE_MAX / sizeof(T))
                return false;
            void* p = reallocate_(items_, grown * sizeof(T));
            if (!p)
                return false;
            items_ = static_cast<T*>(p);
            capacity_ = grown;
        }
        std::memcpy(static_cast<void*>(items_ + count_), &item, sizeof(T));
        ++count_;
        return true;
    }

    void Clear() {
        std::free(items_);
        items_ = nullptr;
        count_ = capacity_ = 0;
    }

    std::size_t Count() const { return count_; }
    std::size_t Capacity() const { return capacity_; }
    bool Empty() const { return count_ == 0; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    T& operator[](std::size_t i) { return items_[i]; }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + count_; }

private:
    T* items_ = nullptr;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
    Reallocate reallocate_;
};

}  // namespace tw
