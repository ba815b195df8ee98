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

    // Plain when pOuter is null, aggregated inside pOuter otherwise.
    static HRESULT CreateInstance(IUnknown* pOuter, REFIID iid, void** ppv);

    static HRESULT CreatePlain(REFIID iid, void** ppv)
    {
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

// T inside an aggregate: every interface's IUnknown methods go to the outer
// object, which owns the identity and the reference count.
template <class T>
class CComContainedObject final : public T {
public:
    explicit CComContainedObject(IUnknown* pOuter) : m_pOuter(pOuter) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override { return m_pOuter->QueryInterface(iid, ppv); }
    STDMETHODIMP_(ULONG) AddRef() override { return m_pOuter->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_pOuter->Release(); }

private:
    IUnknown* m_pOuter;  // not counted: the outer object owns us
};

// The inner, non-delegating IUnknown of an aggregated T: it answers IUnknown
// itself and everything else through T's interface map.
template <class T>
class CComAggObject final : public IUnknown {
public:
    explicit CComAggObject(IUnknown* pOuter) : m_contained(pOuter) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (InlineIsEqualGUID(iid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return CComObjectRoot::InternalQueryInterface(&m_contained, T::InterfaceMap(), iid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRef; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG n = --m_nRef;
        if (n == 0)
            delete this;
        return n;
    }

private:
    CModuleLock m_lock;
    ULONG m_nRef = 0;
    CComContainedObject<T> m_contained;
};

template <class T>
HRESULT CComObject<T>::CreateInstance(IUnknown* pOuter, REFIID iid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!pOuter)
        return CreatePlain(iid, ppv);
    // The aggregate may ask only for the inner IUnknown.
    if (!InlineIsEqualGUID(iid, IID_IUnknown))
        return CLASS_E_NOAGGREGATION;
    auto* p = new (std::nothrow) CComAggObject<T>(pOuter);
    if (!p)
        return E_OUTOFMEMORY;
    p->AddRef();
    const HRESULT hr = p->QueryInterface(iid, ppv);
    p->Release();
    return hr;
}

}  // namespace platform
