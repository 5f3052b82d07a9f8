#include "ui/win32/window/activation.h"

namespace tw {
namespace {

HANDLE g_context = INVALID_HANDLE_VALUE;

}  // namespace

bool CreateModuleActivationContext(HMODULE module) {
    if (g_context != INVALID_HANDLE_VALUE) return true;
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = module;
    context.lpSource = path;
    context.lpResourceName = MAKEINTRESOURCEW(2);
    g_context = CreateActCtxW(&context);
    return g_context != INVALID_HANDLE_VALUE;
}

void ReleaseModuleActivationContext() {
    if (g_context == INVALID_HANDLE_VALUE) return;
    ReleaseActCtx(g_context);
    g_context = INVALID_HANDLE_VALUE;
}

bool HasModuleActivationContext() { return g_context != INVALID_HANDLE_VALUE; }

ActivationScope::ActivationScope() {
    if (g_context != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(g_context, &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_) DeactivateActCtx(0, cookie_);
}

HINSTANCE CodeModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&CodeModule), &module);
    return module;
}

}  // namespace tw
