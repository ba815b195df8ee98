#include "module/ClassTable.h"

#include "module/ClassIds.h"
#include "module/Package.h"
#include "output/WordPressOutput.h"
#include "platform/RichEditCtrl.h"
#include "publish/PublishLibrary.h"

const platform::CInterfaceEntry* CPackage::InterfaceMap()
{
    static const platform::CInterfaceEntry entries[] = {
        WP_INTERFACE_ENTRY(CPackage, IPackageSetup),
        {nullptr, 0},
    };
    return entries;
}

namespace module {

namespace {
platform::CClassObjectEntry g_classObjects[] = {
    {&CLSID_Package, &platform::CComObject<CPackage>::CreateInstance, nullptr},
    {&CLSID_WordPressOutput, &platform::CComObject<CWordPressOutput>::CreateInstance, nullptr},
};
}  // namespace

HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    return platform::GetClassObjectFromTable(g_classObjects, std::size(g_classObjects), rclsid, riid, ppv);
}

HRESULT CanUnloadNow()
{
    if (platform::CModule::LockCount() != 0)
        return S_FALSE;
    // The last moment the module may free another library: once unloading
    // has begun, the loader lock forbids it.
    publish::ReleasePublishLibrary();
    platform::ReleaseRichEdit();
    return S_OK;
}

void ReleaseClassObjects()
{
    platform::ReleaseClassObjects(g_classObjects, std::size(g_classObjects));
}

}  // namespace module
