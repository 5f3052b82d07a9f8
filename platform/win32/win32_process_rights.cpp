#include "platform/win32/win32_process_rights.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace tw {

namespace {

// IEIsProtectedModeProcess lives in ieframe.dll, which only a browser
// process (or one that hosts the browser) has loaded; a process without it
// is not the browser's low tab process. Looked up by name so that the
// module loads where Internet Explorer 7 or later is missing.
bool ProtectedMode() {
    HMODULE ieframe = GetModuleHandleW(L"ieframe.dll");
    if (!ieframe)
        return false;
    typedef HRESULT(WINAPI * IsProtectedFn)(BOOL*);
    IsProtectedFn isProtected =
        reinterpret_cast<IsProtectedFn>(reinterpret_cast<void*>(GetProcAddress(ieframe, "IEIsProtectedModeProcess")));
    BOOL result = FALSE;
    return isProtected && SUCCEEDED(isProtected(&result)) && result;
}

// TokenElevation answers on Vista and later: a filtered administrator's
// token says "not elevated", as the rights it carries are a user's. Before
// Vista (and where the class is not known) membership of Administrators
// decides, since there a member holds the rights it is given.
bool Administrator() {
    UniqueKernelHandle token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) {
        TOKEN_ELEVATION elevation = {};
        DWORD size = 0;
        if (GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size))
            return elevation.TokenIsElevated != 0;
    }
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &administrators))
        return false;
    BOOL member = FALSE;
    const bool ok = CheckTokenMembership(nullptr, administrators, &member) != 0;
    FreeSid(administrators);
    return ok && member;
}

bool Wow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

Win32ProcessRights::Win32ProcessRights()
    : protectedMode_(ProtectedMode()), administrator_(Administrator()), wow64_(Wow64()) {}

}  // namespace tw
