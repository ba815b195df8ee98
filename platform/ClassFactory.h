#pragma once
// One generic class factory and the table of classes the module serves.
#include <objbase.h>

#include "platform/ComObject.h"

namespace platform {

class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(CreatorFn pfnCreate) : m_pfnCreate(pfnCreate) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID iid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL fLock) override;

private:
    volatile LONG m_nRef = 0;  // may be held by any thread of the host
    CreatorFn m_pfnCreate;
};

struct CClassObjectEntry {
    const CLSID* pclsid;
    CreatorFn pfnCreate;
    IClassFactory* pCachedFactory;  // made on first request, kept until unload
};

// Finds rclsid in the table and hands out its cached factory.
HRESULT GetClassObjectFromTable(CClassObjectEntry* table, size_t count, REFCLSID rclsid, REFIID riid,
                                void** ppv);
// Drops the cached factories when the module goes away.
void ReleaseClassObjects(CClassObjectEntry* table, size_t count);

}  // namespace platform
