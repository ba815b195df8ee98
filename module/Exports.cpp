// The module's four exports over the class table.
#include <windows.h>

#include "module/ClassTable.h"
#include "platform/Module.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*pReserved*/)
{
    if (dwReason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(hInstance);
    else if (dwReason == DLL_PROCESS_DETACH)
        module::ReleaseClassObjects();  // memory only: nothing here may load or free a library
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    return module::GetClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return platform::CModule::LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer()
{
    return E_NOTIMPL;
}

STDAPI DllUnregisterServer()
{
    return E_NOTIMPL;
}

}  // extern "C"
