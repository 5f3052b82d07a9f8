#include "tests/band/win32/test_module.h"

#include <algorithm>
#include <cstdlib>

namespace tw {
namespace test {
namespace {

// CTest hands the Unix path of the build's module; Wine shows the root of
// the Unix file system as drive Z:.
std::wstring WindowsPathOf(const char* path) {
    std::wstring out;
    if (path[0] == '/') out = L"Z:";
    for (const char* p = path; *p; ++p) out += wchar_t(*p == '/' ? '\\' : (unsigned char)*p);
    return out;
}

template <class Fn>
void Lookup(HMODULE module, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void Walk(HKEY key, const std::string& prefix, std::vector<std::string>& out) {
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLength = sizeof name;
        BYTE data[4096];
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        std::string text;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            text.assign(reinterpret_cast<char*>(data), strnlen(reinterpret_cast<char*>(data), dataLength));
        else
            text = "<type " + std::to_string(type) + ">";
        out.push_back(prefix + "|" + name + "=" + text);
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string sub = prefix.empty() ? name : prefix + "\\" + name;
        out.push_back(sub);
        HKEY child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            Walk(child, sub, out);
            RegCloseKey(child);
        }
    }
}

}  // namespace

const Module& TheModule() {
    static Module module = [] {
        Module m;
        const char* path = std::getenv("TW_MODULE");
        if (!path) return m;
        m.handle = LoadLibraryW(WindowsPathOf(path).c_str());
        if (!m.handle) return m;
        wchar_t loaded[MAX_PATH];
        if (GetModuleFileNameW(m.handle, loaded, MAX_PATH)) m.path = loaded;
        Lookup(m.handle, "DllGetClassObject", m.getClassObject);
        Lookup(m.handle, "DllCanUnloadNow", m.canUnloadNow);
        Lookup(m.handle, "DllRegisterServer", m.registerServer);
        Lookup(m.handle, "DllUnregisterServer", m.unregisterServer);
        return m;
    }();
    return module;
}

int RunRegsvr32(bool unregister) {
    std::wstring command = L"regsvr32.exe /s ";
    if (unregister) command += L"/u ";
    command += L"\"" + TheModule().path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = DWORD(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return int(code);
}

std::vector<std::string> RegistryTree(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    Walk(key, "", out);
    RegCloseKey(key);
    std::sort(out.begin(), out.end());
    return out;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}

}  // namespace test
}  // namespace tw
