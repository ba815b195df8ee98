#include "platform/ClassFactory.h"

#include "platform/ExceptionGuard.h"

namespace platform {

STDMETHODIMP CClassFactory::QueryInterface(REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (InlineIsEqualGUID(iid, IID_IUnknown) || InlineIsEqualGUID(iid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The first reference is the cache's, taken when the factory is made and
// given back only as the module goes. Every other one is a client's and holds
// the module, which must not be unloaded under a factory still in use.
STDMETHODIMP_(ULONG) CClassFactory::AddRef()
{
    const LONG n = ::InterlockedIncrement(&m_nRef);
    if (n > 1)
        CModule::Lock();
    return static_cast<ULONG>(n);
}

STDMETHODIMP_(ULONG) CClassFactory::Release()
{
    const LONG n = ::InterlockedDecrement(&m_nRef);
    if (n > 0)
        CModule::Unlock();
    else
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* pOuter, REFIID iid, void** ppv) try
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return m_pfnCreate(pOuter, iid, ppv);
} WP_CATCH_RETURN()

STDMETHODIMP CClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        CModule::LockServer();
    else
        CModule::UnlockServer();
    return S_OK;
}

HRESULT GetClassObjectFromTable(CClassObjectEntry* table, size_t count, REFCLSID rclsid, REFIID riid,
                                void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (size_t i = 0; i < count; ++i) {
        CClassObjectEntry& entry = table[i];
        if (!InlineIsEqualGUID(rclsid, *entry.pclsid))
            continue;
        IClassFactory* factory = nullptr;
        {
            CCriticalSectionLock lock(CModule::Guard());
            if (!entry.pCachedFactory) {
                auto* made = new (std::nothrow) CClassFactory(entry.pfnCreate);
                if (!made)
                    return E_OUTOFMEMORY;
                made->AddRef();  // the cache's own reference
                entry.pCachedFactory = made;
            }
            factory = entry.pCachedFactory;
            factory->AddRef();
        }
        const HRESULT hr = factory->QueryInterface(riid, ppv);
        factory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

void ReleaseClassObjects(CClassObjectEntry* table, size_t count)
{
    CCriticalSectionLock lock(CModule::Guard());
    for (size_t i = 0; i < count; ++i) {
        if (IClassFactory* f = table[i].pCachedFactory) {
            table[i].pCachedFactory = nullptr;
            f->Release();
        }
    }
}

}  // namespace platform
