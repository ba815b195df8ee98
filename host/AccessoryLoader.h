#pragma once
// Loads an accessory DLL from its folder and creates its output object the
// way the host does: through the module's class object.
#include <windows.h>

#include <string>

#include "orlimo.h"
#include "platform/ComPtr.h"
#include "platform/UniqueHandle.h"

namespace host {

extern const CLSID CLSID_AccessoryOutput;

class CAccessoryModule {
public:
    CAccessoryModule() = default;
    ~CAccessoryModule();
    CAccessoryModule(const CAccessoryModule&) = delete;
    CAccessoryModule& operator=(const CAccessoryModule&) = delete;

    HRESULT Load(const std::string& dllPath);
    // The module's class object for a class id (CLASS_E_CLASSNOTAVAILABLE for others).
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const;
    HRESULT CreateOutput(platform::CComPtr<IComponentInitialize>& out) const;
    HRESULT CanUnloadNow() const;
    HMODULE Handle() const { return m_hModule.Get(); }

private:
    platform::CLibrary m_hModule;
};

}  // namespace host
