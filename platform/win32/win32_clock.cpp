#include "platform/win32/win32_clock.h"

#include <windows.h>

namespace tw {

FileTime Win32Clock::NowUtc() const {
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME ft = {};
    SystemTimeToFileTime(&now, &ft);
    return FileTime{ft.dwLowDateTime, ft.dwHighDateTime};
}

std::uint32_t Win32Clock::TickMilliseconds() const {
    return GetTickCount();
}

}  // namespace tw
