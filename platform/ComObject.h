#pragma once
// Object root for our COM classes: an interface map walked by QueryInterface,
// a single-threaded reference count, and one module lock per live object.
#include <objbase.h>

#include <new>

#include "platform/Module.h"

namespace platform {

struct CInterfaceEntry {
    const IID* piid;
    DWORD_PTR offset;  // from the object to that interface's vtable pointer
};

// The first entry also answers IUnknown. The map ends with {nullptr, 0}.
#define WP_INTERFACE_ENTRY(Class, Itf)                                                             \
    {                                                                                              \
        &__uuidof(Itf),                                                                            \
            reinterpret_cast<DWORD_PTR>(static_cast<Itf*>(reinterpret_cast<Class*>(0x100))) - 0x100 \
    }

class CComObjectRoot {
public:
    static HRESULT InternalQueryInterface(void* pThis, const CInterfaceEntry* entries, REFIID iid, void** ppv);

protected:
    // Apartment-threaded: every call comes on the thread that created us.
    ULONG m_nRef = 0;
};

// A class that can be created by the generic class factory.
using CreatorFn = HRESULT (*)(IUnknown* pOuter, REFIID iid, void** ppv);

// Plain (non-aggregated) object over a class T that derives from its
// interfaces and CComObjectRoot and lists them in T::InterfaceMap().
template <class T>
class CComObject final : public T {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        return CComObjectRoot::InternalQueryInterface(this, T::InterfaceMap(), iid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++this->m_nRef; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG n = --this->m_nRef;
        if (n == 0)
            delete this;
        return n;
    }

    static HRESULT CreateInstance(IUnknown* pOuter, REFIID iid, void** ppv)
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        auto* p = new (std::nothrow) CComObject<T>();
        if (!p)
            return E_OUTOFMEMORY;
        p->AddRef();
        const HRESULT hr = p->QueryInterface(iid, ppv);
        p->Release();
        return hr;
    }

private:
    CModuleLock m_lock;
};

}  // namespace platform
