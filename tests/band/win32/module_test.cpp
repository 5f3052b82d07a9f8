#include <windows.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

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
