// The built Tidewell.dll as the tests reach it: loaded by path, its
// exports looked up by name, and regsvr32 run on it in the test's prefix.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "band/win32/guids_win32.h"

namespace tw {
namespace test {

struct Module {
    HMODULE handle = nullptr;
    std::wstring path;  // as the loader knows it
    HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
    HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
    HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;
};

// Loaded once for the whole test program (TW_MODULE names the file).
const Module& TheModule();

// regsvr32 [/u] /s on the module; its exit code, or -1 when it cannot run.
int RunRegsvr32(bool unregister);

// Every key below root\path as "sub\key" and every value as
// "sub\key|name=data", sorted; empty when the key is absent.
std::vector<std::string> RegistryTree(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);

std::string Narrow(const std::wstring& text);

}  // namespace test
}  // namespace tw

#include <gtest/gtest.h>
#include <objbase.h>

namespace tw {
namespace test {

// Every test starts and must end with the module unloadable: a band, a
// factory reference or a server lock left behind is a leak.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ASSERT_NE(TheModule().handle, nullptr) << "TW_MODULE does not name a loadable Tidewell.dll";
        ASSERT_NE(TheModule().getClassObject, nullptr);
        ASSERT_NE(TheModule().canUnloadNow, nullptr);
        ASSERT_EQ(TheModule().canUnloadNow(), S_OK);
    }
    void TearDown() override {
        if (TheModule().canUnloadNow) {
            EXPECT_EQ(TheModule().canUnloadNow(), S_OK) << "a reference leaked";
        }
        OleUninitialize();
    }

    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(TheModule().getClassObject(kClsidExplorerBar, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  S_OK);
        return factory;
    }

    // A new band asked for `iid` through the class factory.
    template <class T>
    T* NewBand(REFIID iid) {
        IClassFactory* factory = Factory();
        if (!factory) return nullptr;
        T* band = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, iid, reinterpret_cast<void**>(&band)), S_OK);
        factory->Release();
        return band;
    }
};

}  // namespace test
}  // namespace tw
