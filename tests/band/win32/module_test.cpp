#include <windows.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

class ModuleTest : public ServerTest {};

TEST_F(ModuleTest, ClassObjectAndCreateInstanceRefuseBadRequests) {
    const Module& m = TheModule();
    EXPECT_EQ(m.getClassObject(kClsidExplorerBar, IID_IClassFactory, nullptr), E_POINTER);
    const struct {
        const CLSID* clsid;
        const IID* iid;
        HRESULT expected;
    } rows[] = {
        {&kClsidStartButton, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},  // in the type library only
        {&IID_IUnknown, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
        {&kClsidExplorerBar, &IID_IDeskBand, E_NOINTERFACE},
    };
    for (const auto& row : rows) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(m.getClassObject(*row.clsid, *row.iid, &out), row.expected);
        EXPECT_EQ(out, nullptr);
    }
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, nullptr), E_POINTER);
    int notAnObject = 0;  // never called: the request is refused first
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(&notAnObject), IID_IDeskBand, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<void*>(1);  // a refused interface destroys the new band again
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IInputObject, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory->Release();
}

// One factory for the module; the module stays while a factory reference,
// a band or a lock is out.
TEST_F(ModuleTest, UnloadWaitsForFactoriesBandsAndLocks) {
    IClassFactory* factory = Factory();
    IUnknown* second = nullptr;
    ASSERT_EQ(TheModule().getClassObject(kClsidExplorerBar, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(factory), second);
    EXPECT_EQ(second->Release(), 2u);  // the module's own reference stays
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);
    IUnknown* a = nullptr;
    IUnknown* b = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&a)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&b)), S_OK);
    EXPECT_NE(a, b);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->Release(), 1u);
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // a band and a lock
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // the lock alone
    factory = Factory();
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
}

std::string ResourceText(const wchar_t* type, int id) {
    HRSRC found = FindResourceW(TheModule().handle, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(TheModule().handle, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(TheModule().handle, found)) : std::string();
}

TEST_F(ModuleTest, CarriesItsResourcesAndItsManifestRedirectsCommonControls) {
    EXPECT_NE(ResourceText(L"REGISTRY", IDR_TIDEWELL_REGISTRY).find("%MODULE%"), std::string::npos);
    EXPECT_EQ(ResourceText(L"TYPELIB", IDR_TIDEWELL_TYPELIB).compare(0, 4, "MSFT"), 0);
    for (int icon : {IDI_BUTTON, IDI_BUTTON_HOT}) {
        EXPECT_NE(FindResourceA(TheModule().handle, MAKEINTRESOURCEA(icon), RT_GROUP_ICON), nullptr) << icon;
    }

    // Wine's version 6 assembly reports 5.81 from DllGetVersion, so the
    // redirection itself is what is checked.
    ACTCTXW context = {};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = TheModule().handle;
    context.lpSource = TheModule().path.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(IDR_TIDEWELL_MANIFEST);
    HANDLE handle = CreateActCtxW(&context);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
    for (bool active : {true, false}) {
        ULONG_PTR cookie = 0;
        if (active) {
            ASSERT_TRUE(ActivateActCtx(handle, &cookie));
        }
        ACTCTX_SECTION_KEYED_DATA data = {};
        data.cbSize = sizeof data;
        EXPECT_EQ(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                           &data) != FALSE,
                  active);
        if (active) DeactivateActCtx(0, cookie);
    }
    ReleaseActCtx(handle);
}

}  // namespace
}  // namespace test
}  // namespace tw
