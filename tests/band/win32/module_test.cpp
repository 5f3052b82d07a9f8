#include <windows.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include "res/resource.h"
#include "tests/band/win32/test_module.h"

namespace tw {
namespace test {
namespace {

class ModuleTest : public ServerTest {};

TEST_F(ModuleTest, ClassObjectAndCreateInstanceRefuseBadRequests) {
    EXPECT_EQ(TheModule().getClassObject(kClsidExplorerBar, IID_IClassFactory, nullptr), E_POINTER);
    const ComPtr<IClassFactory> factory = Factory();
    ASSERT_TRUE(factory);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDeskBand, nullptr), E_POINTER);
    int notAnObject = 0;  // never called: the request is refused first
    const struct {
        const CLSID* clsid;
        const IID* iid;
        IUnknown* outer;
        HRESULT expected;
    } rows[] = {
        {&kClsidStartButton, &IID_IClassFactory, nullptr, CLASS_E_CLASSNOTAVAILABLE},  // in the type library only
        {&IID_IUnknown, &IID_IClassFactory, nullptr, CLASS_E_CLASSNOTAVAILABLE},
        {&kClsidExplorerBar, &IID_IDeskBand, nullptr, E_NOINTERFACE},
        {nullptr, &IID_IDeskBand, reinterpret_cast<IUnknown*>(&notAnObject), CLASS_E_NOAGGREGATION},
        {nullptr, &IID_IInputObject, nullptr, E_NOINTERFACE},  // the new band is destroyed again
    };
    for (const auto& row : rows) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(row.clsid ? TheModule().getClassObject(*row.clsid, *row.iid, &out)
                            : factory->CreateInstance(row.outer, *row.iid, &out),
                  row.expected);
        EXPECT_EQ(out, nullptr);
    }
}

// One factory for the module; the module stays while a factory reference,
// a band or a lock is out (and goes after, as every test checks).
TEST_F(ModuleTest, UnloadWaitsForFactoriesBandsAndLocks) {
    ComPtr<IClassFactory> factory = Factory();
    ComPtr<IUnknown> second;
    ASSERT_EQ(TheModule().getClassObject(kClsidExplorerBar, IID_IUnknown, second.ReceiveVoid()), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(factory.Get()), second.Get());
    EXPECT_EQ(second.Detach()->Release(), 2u);  // the module's own reference stays
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);
    ComPtr<IUnknown> a, b;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, a.ReceiveVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, b.ReceiveVoid()), S_OK);
    EXPECT_NE(a.Get(), b.Get());
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(a.Detach()->Release(), 0u);
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // a band and a lock
    EXPECT_EQ(b.Detach()->Release(), 0u);
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);  // the lock alone
    ASSERT_EQ(Factory()->LockServer(FALSE), S_OK);
}

// The registry script and the type library are the registration tests'
// work; the icons and the manifest have no other test.
TEST_F(ModuleTest, CarriesItsIconsAndItsManifestRedirectsCommonControls) {
    for (int icon : {IDI_BUTTON, IDI_BUTTON_HOT})
        EXPECT_NE(FindResourceA(TheModule().handle, MAKEINTRESOURCEA(icon), RT_GROUP_ICON), nullptr) << icon;
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
