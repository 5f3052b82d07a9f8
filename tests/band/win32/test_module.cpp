#include "tests/band/win32/test_module.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "platform/win32/handles.h"

namespace tw {
namespace test {
namespace {

template <class Fn>
void Lookup(HMODULE module, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void Walk(HKEY key, const std::string& prefix, std::vector<std::string>& out) {
    char name[16384];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
        const char* text = reinterpret_cast<char*>(data);
        out.push_back(prefix + "|" + name + "=" +
                      (type == REG_SZ ? std::string(text, strnlen(text, dataLength)) : "<type " + std::to_string(type) + ">"));
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 256;
        if (RegEnumKeyExA(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string sub = prefix.empty() ? name : prefix + "\\" + name;
        out.push_back(sub);
        UniqueKey child;
        if (RegOpenKeyExA(key, name, 0, KEY_READ, child.Receive()) == ERROR_SUCCESS) Walk(child.Get(), sub, out);
    }
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

Module LoadModuleAt(const std::wstring& path) {
    Module m;
    m.handle = path.empty() ? nullptr : LoadLibraryW(path.c_str());
    if (!m.handle) return m;
    wchar_t loaded[MAX_PATH];
    if (GetModuleFileNameW(m.handle, loaded, MAX_PATH)) m.path = loaded;
    Lookup(m.handle, "DllGetClassObject", m.getClassObject);
    Lookup(m.handle, "DllCanUnloadNow", m.canUnloadNow);
    return m;
}

const Module& LoadModule(const char* variable) {
    static std::map<std::string, Module> modules;
    auto found = modules.find(variable);
    if (found == modules.end()) found = modules.emplace(variable, LoadModuleAt(WindowsPathFromEnv(variable))).first;
    return found->second;
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
