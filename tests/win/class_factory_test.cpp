// The module's unload answer against what clients hold: class factories
// beyond the cache's own reference, server locks, and unlocks nobody took.
#include <gtest/gtest.h>

#include "support/TestAccessory.h"

using testing_support::CTestFolder;

namespace {

// {D08718E7-A06C-4DDF-9EB3-117569B94415}
const CLSID kPackage = {0xD08718E7, 0xA06C, 0x4DDF, {0x9E, 0xB3, 0x11, 0x75, 0x69, 0xB9, 0x44, 0x15}};

// A private copy of the built module, so its counts start from nothing.
class CFreshModule {
public:
    CFreshModule()
    {
        const std::string dll = m_folder.Path() + "WordPress.dll";
        ::CopyFileA((testing_support::BuiltAccessoryFolder() + "WordPress.dll").c_str(), dll.c_str(), FALSE);
        m_hrLoad = m_module.Load(dll);
    }
    HRESULT LoadResult() const { return m_hrLoad; }
    HRESULT CanUnloadNow() const { return m_module.CanUnloadNow(); }
    platform::CComPtr<IClassFactory> Factory(REFCLSID clsid) const
    {
        platform::CComPtr<IClassFactory> sp;
        m_module.GetClassObject(clsid, IID_IClassFactory, sp.PutVoid());
        return sp;
    }

private:
    CTestFolder m_folder{"module"};
    host::CAccessoryModule m_module;
    HRESULT m_hrLoad = E_FAIL;
};

TEST(ClassFactoryHold, AHeldFactoryKeepsTheModuleUntilItsLastReferenceGoes)
{
    CFreshModule module;
    ASSERT_EQ(module.LoadResult(), S_OK);
    ASSERT_EQ(module.CanUnloadNow(), S_OK);

    platform::CComPtr<IClassFactory> spOutput = module.Factory(host::CLSID_AccessoryOutput);
    ASSERT_TRUE(spOutput);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);

    // Further references, through another interface or another request for
    // the same cached factory, each hold the module too.
    platform::CComPtr<IUnknown> spUnknown;
    ASSERT_EQ(spOutput->QueryInterface(IID_IUnknown, spUnknown.PutVoid()), S_OK);
    platform::CComPtr<IClassFactory> spAgain = module.Factory(host::CLSID_AccessoryOutput);
    ASSERT_EQ(spAgain.Get(), spOutput.Get());
    platform::CComPtr<IClassFactory> spPackage = module.Factory(kPackage);
    ASSERT_TRUE(spPackage);

    spOutput.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    spAgain.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    spUnknown.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "the package's factory is still held";
    spPackage.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_OK);

    // The cached factory is handed out again after every client let it go.
    platform::CComPtr<IClassFactory> spLater = module.Factory(host::CLSID_AccessoryOutput);
    ASSERT_TRUE(spLater);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    spLater.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST(ClassFactoryHold, UnlocksNobodyTookNeverCountBelowZeroOrFreeALiveObject)
{
    CFreshModule module;
    ASSERT_EQ(module.LoadResult(), S_OK);
    platform::CComPtr<IClassFactory> spFactory = module.Factory(host::CLSID_AccessoryOutput);
    ASSERT_TRUE(spFactory);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(spFactory->LockServer(FALSE), S_OK);

    // One lock after three stray unlocks is a lock.
    spFactory->LockServer(TRUE);
    platform::CComPtr<IUnknown> spObject;
    ASSERT_EQ(spFactory->CreateInstance(nullptr, IID_IUnknown, spObject.PutVoid()), S_OK);
    spFactory.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    module.Factory(kPackage)->LockServer(FALSE);  // a lock is the server's, whichever factory took it
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE) << "the object is alive";

    // With no server lock left, a stray unlock cannot give away the object's.
    module.Factory(kPackage)->LockServer(FALSE);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    spObject.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

}  // namespace
