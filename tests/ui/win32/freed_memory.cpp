#include "tests/ui/win32/freed_memory.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Keeps the block after it as aligned as malloc made the header.
struct Header {
    std::size_t size;
    std::size_t unused;
};

// Each word of a freed block becomes a different address that no program
// can reach (in the system's half on 32 bits, not canonical on 64). The
// step between words is a multiple of every common element size, so that a
// container read from the block has a sensible, nonzero size, and a look at
// any of its elements leads nowhere.
const bool k64 = sizeof(void*) == 8;
const std::uintptr_t kNowhere = k64 ? std::uintptr_t(0xDDDD000000000000ull) : 0x80000000u;
const std::uintptr_t kStep = 105 << 12;
const std::uintptr_t kSpan = k64 ? ~std::uintptr_t(0) : 0x7FFFFFFFu;
// A band going frees every row of its lists at once; the blocks it freed
// must still be held when the test looks at them after the loop returns.
const std::size_t kHeldBlocks = 1 << 20;
const std::size_t kHeldBytes = std::size_t(256) << 20;

SRWLOCK g_lock = SRWLOCK_INIT;
Header* g_held[kHeldBlocks];
std::size_t g_oldest = 0;
std::size_t g_count = 0;
std::size_t g_bytes = 0;
bool g_spoiled = false;

std::uintptr_t WordAt(std::size_t i) { return kNowhere + ((i * kStep) & kSpan); }

void Overwrite(Header* h) {
    unsigned char* bytes = reinterpret_cast<unsigned char*>(h + 1);
    const std::size_t words = h->size / sizeof(std::uintptr_t);
    for (std::size_t i = 0; i < words; ++i) {
        const std::uintptr_t w = WordAt(i);
        std::memcpy(bytes + i * sizeof w, &w, sizeof w);
    }
    std::memset(bytes + words * sizeof(std::uintptr_t), 0xDD, h->size % sizeof(std::uintptr_t));
}

bool Intact(const Header* h) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(h + 1);
    const std::size_t words = h->size / sizeof(std::uintptr_t);
    for (std::size_t i = 0; i < words; ++i) {
        std::uintptr_t w;
        std::memcpy(&w, bytes + i * sizeof w, sizeof w);
        if (w != WordAt(i))
            return false;
    }
    for (std::size_t i = words * sizeof(std::uintptr_t); i < h->size; ++i) {
        if (bytes[i] != 0xDD)
            return false;
    }
    return true;
}

void* Allocate(std::size_t size) noexcept {
    Header* h = static_cast<Header*>(std::malloc(sizeof(Header) + size));
    if (!h)
        return nullptr;
    h->size = size;
    return h + 1;
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }

void operator delete(void* p) noexcept {
    if (!p)
        return;
    Header* h = static_cast<Header*>(p) - 1;
    Overwrite(h);
    AcquireSRWLockExclusive(&g_lock);
    while (g_count > 0 && (g_count == kHeldBlocks || g_bytes + h->size > kHeldBytes)) {
        Header* oldest = g_held[g_oldest];
        g_spoiled = g_spoiled || !Intact(oldest);
        g_bytes -= oldest->size;
        g_oldest = (g_oldest + 1) % kHeldBlocks;
        --g_count;
        std::free(oldest);
    }
    g_held[(g_oldest + g_count) % kHeldBlocks] = h;
    ++g_count;
    g_bytes += h->size;
    ReleaseSRWLockExclusive(&g_lock);
}

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }

namespace tw::testing {

bool FreedMemoryIntact() {
    AcquireSRWLockExclusive(&g_lock);
    bool intact = !g_spoiled;
    for (std::size_t i = 0; i < g_count && intact; ++i)
        intact = Intact(g_held[(g_oldest + i) % kHeldBlocks]);
    ReleaseSRWLockExclusive(&g_lock);
    return intact;
}

}  // namespace tw::testing
