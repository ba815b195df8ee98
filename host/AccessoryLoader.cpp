#include "host/AccessoryLoader.h"

namespace host {

// The accessory's output class, as the host knows it from its registration.
const CLSID CLSID_AccessoryOutput = {0x8EDC92CE, 0x621C, 0x444D, {0xB3, 0x63, 0x4A, 0x49, 0x4D, 0x7B, 0x65, 0x49}};

CAccessoryModule::~CAccessoryModule()
{
    // COM's rule: a module may go only when it says nothing of it is alive.
    if (m_hModule && CanUnloadNow() != S_OK)
        m_hModule.Release();
}

HRESULT CAccessoryModule::Load(const std::string& dllPath)
{
    m_hModule.Reset(::LoadLibraryA(dllPath.c_str()));
    return m_hModule ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
}

HRESULT CAccessoryModule::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const
{
    using Fn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto pfn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(::GetProcAddress(m_hModule.Get(), "DllGetClassObject")));
    return pfn ? pfn(clsid, iid, ppv) : E_NOINTERFACE;
}

HRESULT CAccessoryModule::CreateOutput(platform::CComPtr<IComponentInitialize>& out) const
{
    platform::CComPtr<IClassFactory> spFactory;
    const HRESULT hr = GetClassObject(CLSID_AccessoryOutput, IID_IClassFactory, spFactory.PutVoid());
    if (FAILED(hr))
        return hr;
    return spFactory->CreateInstance(nullptr, __uuidof(IComponentInitialize), out.PutVoid());
}

HRESULT CAccessoryModule::CanUnloadNow() const
{
    using Fn = HRESULT(STDAPICALLTYPE*)();
    auto pfn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m_hModule.Get(), "DllCanUnloadNow")));
    return pfn ? pfn() : S_FALSE;
}

}  // namespace host
