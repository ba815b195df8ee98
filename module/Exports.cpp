// The module's four exports over the class table.
#include <windows.h>

#include "module/ClassTable.h"
#include "module/Registration.h"
#include "platform/ExceptionGuard.h"
#include "platform/ThreadRuntime.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(hInstance);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        module::ReleaseClassObjects();  // memory only: nothing here may load or free a library
        platform::ReleaseThreadRuntimeRecord(hInstance, dwReason, pReserved);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) try
{
    return module::GetClassObject(rclsid, riid, ppv);
} WP_CATCH_RETURN()

STDAPI DllCanUnloadNow() try
{
    return module::CanUnloadNow();
} WP_CATCH_RETURN()

STDAPI DllRegisterServer() try
{
    module::CResourceScripts scripts;
    return module::RegisterServer(scripts);
} WP_CATCH_RETURN()

STDAPI DllUnregisterServer() try
{
    module::CResourceScripts scripts;
    return module::UnregisterServer(scripts);
} WP_CATCH_RETURN()

}  // extern "C"
