// The process's rights as a test sets them: by default a medium-integrity
// process of a standard user on 32-bit Windows, the state in which most
// users meet the band. The fakes of the registry, the file system and the
// shell ask here what Windows would refuse a process in that state; a fake
// given no rights answers as for an elevated administrator, who is refused
// none of it.
#pragma once

#include <ostream>
#include <string>

#include "platform/process_rights.h"
#include "platform/registry.h"

namespace tw::fakes {

class FakeProcessRights : public ProcessRights {
public:
    bool protectedMode = false;
    bool administrator = false;
    bool wow64 = false;

    bool IsProtectedMode() const override { return protectedMode; }
    bool IsAdministrator() const override { return administrator; }
    bool IsWow64() const override { return wow64; }
};

// The states a test runs its table in, by name for the failure messages.
struct RightsState {
    const char* name;
    bool protectedMode, administrator, wow64;

    FakeProcessRights Rights() const {
        FakeProcessRights r;
        r.protectedMode = protectedMode, r.administrator = administrator, r.wow64 = wow64;
        return r;
    }
    // Writes a medium object: not at low integrity.
    bool WritesMedium() const { return !protectedMode; }
    // Writes HKLM and schedules restart operations: an administrator's
    // elevated token, and never at low integrity, which no write-up allows.
    bool WritesMachine() const { return administrator && !protectedMode; }
};

// For the names of failing cases.
inline void PrintTo(const RightsState& state, std::ostream* out) { *out << state.name; }

inline const RightsState kRightsStates[] = {
    {"medium user", false, false, false},
    {"medium user on 64-bit Windows", false, false, true},
    {"elevated administrator", false, true, false},
    {"Protected Mode, user", true, false, false},
    {"Protected Mode, administrator's filtered token", true, true, true},
};

// Whether Windows lets a process with these rights open the key for
// writing. A low process writes only the keys labelled low: AppDataLow and
// the browser's LowRegistry under HKEY_CURRENT_USER. HKEY_LOCAL_MACHINE
// needs administrator rights in effect; new keys under HKEY_CLASSES_ROOT
// go to HKEY_LOCAL_MACHINE\Software\Classes, so it does too. path is lower
// case.
inline bool MayWriteKey(const ProcessRights* rights, RegRoot root, const std::string& path) {
    if (!rights)
        return true;
    if (root != RegRoot::CurrentUser)
        return rights->IsAdministrator() && !rights->IsProtectedMode();
    if (!rights->IsProtectedMode())
        return true;
    for (const char* low : {"software\\appdatalow", "software\\microsoft\\internet explorer\\lowregistry"}) {
        const std::string l = low;
        if (path.compare(0, l.size(), l) == 0 && (path.size() == l.size() || path[l.size()] == '\\'))
            return true;
    }
    return false;
}

// MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT: "only if the process is in
// the context of a user who belongs to the administrators group or the
// LocalSystem account", which under UAC means an elevated token.
inline bool MayScheduleAtRestart(const ProcessRights* rights) {
    return !rights || (rights->IsAdministrator() && !rights->IsProtectedMode());
}

}  // namespace tw::fakes
