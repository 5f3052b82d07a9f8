// The system clock: UTC time for expiry tests and samples, and a
// millisecond tick for intervals.
#pragma once

#include <cstdint>

#include "core/entry.h"

namespace tw {

class Clock {
public:
    virtual ~Clock() = default;
    // GetSystemTime + SystemTimeToFileTime.
    virtual FileTime NowUtc() const = 0;
    // GetTickCount.
    virtual std::uint32_t TickMilliseconds() const = 0;
};

}  // namespace tw
