// The built Tidewell.dll as the browser meets it: loaded by path, its
// exports looked up by name, and regsvr32 run on it in the test's prefix.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "band/win32/guids_win32.h"
#include "platform/win32/com_ptr.h"

namespace tw {
namespace test {

struct Module {
    HMODULE handle = nullptr;
    std::wstring path;  // as the loader knows it
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
};

// The Unix path an environment variable names, as Wine's drive Z: shows it.
std::wstring WindowsPathFromEnv(const char* variable);
// Loaded once for the program from the path in TW_MODULE.
const Module& TheModule();
// Runs a command line to its end: its exit code, or -1.
int RunProcess(std::wstring command);
int RunRegsvr32(bool unregister);
// Every key below root\path as "sub\key" and every value as
// "sub\key|name=data", sorted; empty when the key is absent.
std::vector<std::string> RegistryTree(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);
std::string Narrow(const std::wstring& text);

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
