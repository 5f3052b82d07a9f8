#include "tests/band/win32/test_module.h"

#include <algorithm>
#include <cstdlib>

#include "platform/win32/handles.h"

namespace tw {
namespace test {
namespace {

void Walk(HKEY key, const std::string& prefix, std::vector<std::string>& out) {
    char name[256], data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, dataLength = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataLength))
            break;
        data[type == REG_SZ ? dataLength : 0] = 0;
        out.push_back(prefix + "|" + name + "=" + data);
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string sub = prefix.empty() ? name : prefix + "\\" + name;
        out.push_back(sub);
        UniqueKey child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, child.Receive()) == ERROR_SUCCESS) Walk(child.Get(), sub, out);
    }
}

// A server by its Windows path; empty when it cannot be loaded.
Module LoadModuleAt(const std::wstring& path) {
    Module m;
    m.handle = path.empty() ? nullptr : LoadLibraryW(path.c_str());
    wchar_t loaded[MAX_PATH];
    if (!m.handle || !GetModuleFileNameW(m.handle, loaded, MAX_PATH)) return m;
    m.path = loaded;
    const auto find = [&m](const char* name) { return reinterpret_cast<void*>(GetProcAddress(m.handle, name)); };
    m.getClassObject = reinterpret_cast<decltype(m.getClassObject)>(find("DllGetClassObject"));
    m.canUnloadNow = reinterpret_cast<decltype(m.canUnloadNow)>(find("DllCanUnloadNow"));
    return m;
}

}  // namespace

std::wstring WindowsPathFromEnv(const char* variable) {
    const char* path = std::getenv(variable);
    std::wstring out;
    if (!path) return out;
    if (path[0] == '/') out = L"Z:";
    for (const char* p = path; *p; ++p) out += wchar_t(*p == '/' ? '\\' : (unsigned char)*p);
    return out;
}

const Module& TheModule() {
    static const Module module = LoadModuleAt(WindowsPathFromEnv("TW_MODULE"));
    return module;
}

int RunRegsvr32(bool unregister) {
    return RunProcess(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u \"" : L"\"") + TheModule().path + L"\"");
}

int RunProcess(std::wstring command) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    const UniqueKernelHandle thread(process.hThread), owned(process.hProcess);
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(owned.Get(), 60000) == WAIT_OBJECT_0) GetExitCodeProcess(owned.Get(), &code);
    return int(code);
}

std::vector<std::string> RegistryTree(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) Walk(key.Get(), "", out);
    std::sort(out.begin(), out.end());
    return out;
}

bool KeyExists(HKEY root, const std::string& path) {
    UniqueKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}

}  // namespace test
}  // namespace tw
