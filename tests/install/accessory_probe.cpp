// Creates the accessory by its ProgID, as a host of this program's bitness
// would, and prints which module COM loaded for it. The install tests run the
// x86 and the x64 probe in one prefix to see that each gets its own build.
//   accessory_probe.exe    prints "module: <path>" and "bits: 32|64"; exit 0,
//                          or 1 with the failing HRESULT
#include <windows.h>
#include <objbase.h>

#include <cstdio>

int main()
{
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int status = 1;
    CLSID clsid{};
    IUnknown* pObject = nullptr;
    HRESULT hr = ::CLSIDFromProgID(L"WordPress.WordPressOutput", &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&pObject));
    if (SUCCEEDED(hr)) {
        // The object's table of methods lies in the module that made it.
        HMODULE hModule = nullptr;
        wchar_t path[MAX_PATH] = {};
        if (::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 *reinterpret_cast<LPCWSTR*>(pObject), &hModule) &&
            ::GetModuleFileNameW(hModule, path, MAX_PATH)) {
            std::printf("module: %ls\nbits: %d\n", path, static_cast<int>(sizeof(void*) * 8));
            status = 0;
        }
        pObject->Release();
    } else {
        std::printf("failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    }
    ::CoUninitialize();
    return status;
}
