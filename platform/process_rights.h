// Where the process runs and what it may do there. The browser hosts the
// band in its tab process: on Vista and later an Internet-zone page runs it
// at low integrity (Protected Mode), an administrator's browser under UAC
// holds a filtered token, and a 32-bit band on 64-bit Windows sees the
// system folder and parts of the registry redirected. Wine has none of
// these, so the band learns them here rather than from what a write does.
#pragma once

namespace tw {

class ProcessRights {
public:
    virtual ~ProcessRights() = default;
    // Low integrity: writes only to the Low stores, `Software\AppDataLow`
    // and other low places.
    virtual bool IsProtectedMode() const = 0;
    // Administrator rights in effect: an elevated token, or an
    // administrator's token where UAC is off or absent. Needed to write
    // HKLM and to schedule operations at restart.
    virtual bool IsAdministrator() const = 0;
    // A 32-bit process on 64-bit Windows.
    virtual bool IsWow64() const = 0;
};

}  // namespace tw
