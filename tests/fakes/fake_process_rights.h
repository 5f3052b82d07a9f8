// The process's rights as a test sets them: by default a medium-integrity
// process of a standard user on 32-bit Windows, the state in which most
// users meet the band.
#pragma once

#include "platform/process_rights.h"

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

}  // namespace tw::fakes
