// The process's rights as the system reports them; each is read once.
#pragma once

#include "platform/process_rights.h"

namespace tw {

class Win32ProcessRights : public ProcessRights {
public:
    Win32ProcessRights();
    bool IsProtectedMode() const override { return protectedMode_; }
    bool IsAdministrator() const override { return administrator_; }
    bool IsWow64() const override { return wow64_; }

private:
    bool protectedMode_;
    bool administrator_;
    bool wow64_;
};

}  // namespace tw
