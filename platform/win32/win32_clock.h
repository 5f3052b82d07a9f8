// The clock seam over the system time.
#pragma once

#include "platform/clock.h"

namespace tw {

class Win32Clock : public Clock {
public:
    FileTime NowUtc() const override;
    std::uint32_t TickMilliseconds() const override;
};

}  // namespace tw
