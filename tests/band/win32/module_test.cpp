#include <windows.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

class ModuleTest : public ServerTest {};

TEST_F(ModuleTest, ClassObjectArguments) {
    const Module& m = TheModule();
    EXPECT_EQ(m.getClassObject(kClsidExplorerBar, IID_IClassFactory, nullptr), E_POINTER);

    void* out = reinterpret_cast<void*>(1);
    // StartButton exists in the type library only.
    EXPECT_EQ(m.getClassObject(kClsidStartButton, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(m.getClassObject(IID_IUnknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(m.getClassObject(kClsidExplorerBar, IID_IDeskBand, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST_F(ModuleTest, OneFactoryForTheModule) {
    IClassFactory* first = Factory();
    IUnknown* second = nullptr;
    ASSERT_EQ(TheModule().getClassObject(kClsidExplorerBar, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(first), second);
    // The module's own reference stays when every client has let go.
    EXPECT_EQ(second->Release(), 2u);
    EXPECT_EQ(first->Release(), 1u);
}

TEST_F(ModuleTest, FactoryReferencesHoldTheModule) {
    IClassFactory* factory = Factory();
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);
    factory->Release();
    EXPECT_EQ(TheModule().canUnloadNow(), S_OK);
}

TEST_F(ModuleTest, CreateInstanceArguments) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, nullptr), E_POINTER);

    int notAnObject = 0;  // never called: the request is refused first
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(&notAnObject), IID_IDeskBand, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);

    // A refused interface destroys the new band again.
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IInputObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory->Release();
    EXPECT_EQ(TheModule().canUnloadNow(), S_OK);
}

TEST_F(ModuleTest, UnloadWaitsForBandsAndLocks) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    IDeskBand* band = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, reinterpret_cast<void**>(&band)), S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();

    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // a band and a lock
    EXPECT_EQ(band->Release(), 0u);
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // the lock alone

    factory = Factory();
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(TheModule().canUnloadNow(), S_OK);
}

TEST_F(ModuleTest, EveryBandHoldsTheModule) {
    IUnknown* a = NewBand<IUnknown>(IID_IUnknown);
    IUnknown* b = NewBand<IUnknown>(IID_IUnknown);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);
    EXPECT_EQ(b->Release(), 0u);
}

}  // namespace
}  // namespace test
}  // namespace tw

namespace tw {
namespace test {
namespace {

std::string ResourceText(const wchar_t* type, int id) {
    HRSRC found = FindResourceW(TheModule().handle, MAKEINTRESOURCEW(id), type);
    if (!found) return std::string();
    HGLOBAL loaded = LoadResource(TheModule().handle, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(TheModule().handle, found)) : std::string();
}

TEST_F(ModuleTest, CarriesItsResources) {
    const std::string script = ResourceText(L"REGISTRY", 101);
    EXPECT_NE(script.find("Tidewell.ExplorerBar.1"), std::string::npos);
    EXPECT_NE(script.find("%MODULE%"), std::string::npos);
    EXPECT_EQ(ResourceText(L"TYPELIB", 1).compare(0, 4, "MSFT"), 0);
    EXPECT_NE(FindResourceW(TheModule().handle, MAKEINTRESOURCEW(801), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
    EXPECT_NE(FindResourceW(TheModule().handle, MAKEINTRESOURCEW(802), MAKEINTRESOURCEW(14)), nullptr);
    const std::string manifest = ResourceText(MAKEINTRESOURCEW(24), 2);
    EXPECT_NE(manifest.find("name=\"Qv.Tidewell.dll\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

// The manifest makes an activation context that sends the module's use of
// the common controls to the version 6 assembly. (Wine's copy of that
// assembly reports version 5.81 from DllGetVersion, so the redirection
// itself is what is checked.)
TEST_F(ModuleTest, ManifestRedirectsToCommonControls6) {
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = TheModule().handle;
    context.lpSource = TheModule().path.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(2);
    HANDLE handle = CreateActCtxW(&context);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(handle, &cookie));
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof data;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                         &data));
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(handle);

    // Outside it, nothing redirects the process's controls.
    data = {};
    data.cbSize = sizeof data;
    EXPECT_FALSE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                          &data));
}

}  // namespace
}  // namespace test
}  // namespace tw
