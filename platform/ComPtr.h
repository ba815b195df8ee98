#pragma once
// Counted COM interface pointer: releases what it holds, never throws.
#include <objbase.h>

#include <utility>

namespace platform {

template <typename T>
class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    CComPtr(const CComPtr& o) : CComPtr(o.m_p) {}
    CComPtr(CComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    ~CComPtr() { Reset(); }
    CComPtr& operator=(CComPtr o) noexcept
    {
        std::swap(m_p, o.m_p);
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void Reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // Takes ownership of an already counted pointer.
    void Attach(T* p)
    {
        Reset();
        m_p = p;
    }
    T* Detach() { return std::exchange(m_p, nullptr); }
    T** Put()
    {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    template <typename U>
    HRESULT As(CComPtr<U>& out) const
    {
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(__uuidof(U), out.PutVoid());
    }

private:
    T* m_p = nullptr;
};

// Queries any IUnknown-derived pointer; a null source gives E_POINTER.
template <typename U, typename T>
HRESULT QueryTo(T* p, CComPtr<U>& out)
{
    out.Reset();
    if (!p)
        return E_POINTER;
    return p->QueryInterface(__uuidof(U), out.PutVoid());
}

}  // namespace platform
