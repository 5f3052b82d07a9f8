// The built Tidewell.dll as the browser meets it: loaded by path, its
// exports looked up by name, and regsvr32 run on it in the test's prefix.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "band/win32/guids_win32.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"

namespace tw {
namespace test {

struct Module {
    HMODULE handle = nullptr;
    std::wstring path;  // as the loader knows it
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};

// The Unix path an environment variable names, as Wine's drive Z: shows it.
inline std::wstring WindowsPathFromEnv(const char* variable) {
    const char* path = std::getenv(variable);
    std::wstring out;
    if (!path) return out;
    if (path[0] == '/') out = L"Z:";
    for (const char* p = path; *p; ++p) out += wchar_t(*p == '/' ? '\\' : (unsigned char)*p);
    return out;
}

// A server by its Windows path; empty when it cannot be loaded.
inline Module LoadModuleAt(const std::wstring& path) {
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

// Loaded once for the program from the path in TW_MODULE.
inline const Module& TheModule() {
    static const Module module = LoadModuleAt(WindowsPathFromEnv("TW_MODULE"));
    return module;
}

// Runs a command line to its end, its output and errors to out and err if
// given: its exit code, or -1.
inline int RunProcess(std::wstring command, HANDLE out = nullptr, HANDLE err = nullptr) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = out ? STARTF_USESTDHANDLES : 0;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, out != nullptr, 0, nullptr, nullptr, &startup, &process))
        return -1;
    const UniqueKernelHandle thread(process.hThread), owned(process.hProcess);
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(owned.Get(), 60000) == WAIT_OBJECT_0) GetExitCodeProcess(owned.Get(), &code);
    return int(code);
}

inline int RunRegsvr32(bool unregister) {
    return RunProcess(std::wstring(L"regsvr32.exe /s ") + (unregister ? L"/u \"" : L"\"") + TheModule().path + L"\"");
}

inline void Walk(HKEY key, const std::string& prefix, std::vector<std::string>& out) {
    char name[256], data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name, dataLength = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataLength))
            break;
        DWORD number = 0;
        if (type == REG_DWORD && dataLength == 4)
            std::memcpy(&number, data, 4);
        data[type == REG_SZ ? dataLength : 0] = 0;
        const std::string text = type == REG_DWORD ? "dword:" + std::to_string(number) : std::string(data);
        out.push_back(prefix + "|" + name + "=" + text);
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

// Every key below root\path as "sub\key" and every value as
// "sub\key|name=data", sorted; empty when the key is absent.
inline std::vector<std::string> RegistryTree(HKEY root, const std::string& path) {
    std::vector<std::string> out;
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) Walk(key.Get(), "", out);
    std::sort(out.begin(), out.end());
    return out;
}

inline bool KeyExists(HKEY root, const std::string& path) {
    UniqueKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}

// Every test starts and must end with the module unloadable: a band, a
// factory reference or a server lock left behind is a leak.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_TRUE(TheModule().getClassObject && TheModule().canUnloadNow) << "TW_MODULE names no Tidewell.dll";
        ASSERT_EQ(TheModule().canUnloadNow(), S_OK);
    }
    void TearDown() override {
        if (TheModule().canUnloadNow) {
            EXPECT_EQ(TheModule().canUnloadNow(), S_OK) << "a reference leaked";
        }
        OleUninitialize();
    }
    ComPtr<IClassFactory> Factory() {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(TheModule().getClassObject(kClsidExplorerBar, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
        return factory;
    }
    template <class T>
    ComPtr<T> NewBand(REFIID iid) {
        ComPtr<T> band;
        if (const ComPtr<IClassFactory> factory = Factory()) {
            EXPECT_EQ(factory->CreateInstance(nullptr, iid, band.ReceiveVoid()), S_OK);
        }
        return band;
    }
};

}  // namespace test
}  // namespace tw
