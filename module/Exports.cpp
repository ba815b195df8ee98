// The module's four exports over the class table.
#include <windows.h>

#include "module/ClassTable.h"
#include "module/Registration.h"

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
    return module::CanUnloadNow();
}

STDAPI DllRegisterServer()
{
    module::CResourceScripts scripts;
    return module::RegisterServer(scripts);
}

STDAPI DllUnregisterServer()
{
    module::CResourceScripts scripts;
    return module::UnregisterServer(scripts);
}

}  // extern "C"
