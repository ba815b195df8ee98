#pragma once
// Owning wrappers for platform handles, after the unique_any pattern: one
// template, one line per handle kind naming its invalid value and its closer.
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace platform {

template <typename T, auto Close, auto Invalid = T{}>
class CUniqueAny {
public:
    CUniqueAny() = default;
    explicit CUniqueAny(T h) : m_h(h) {}
    ~CUniqueAny() { Reset(); }
    CUniqueAny(const CUniqueAny&) = delete;
    CUniqueAny& operator=(const CUniqueAny&) = delete;
    CUniqueAny(CUniqueAny&& o) noexcept : m_h(o.Release()) {}
    CUniqueAny& operator=(CUniqueAny&& o) noexcept
    {
        if (this != &o)
            Reset(o.Release());
        return *this;
    }

    T Get() const { return m_h; }
    explicit operator bool() const { return m_h != reinterpret_cast<T>(Invalid); }
    T Release() { return std::exchange(m_h, reinterpret_cast<T>(Invalid)); }
    void Reset(T h = reinterpret_cast<T>(Invalid))
    {
        T old = std::exchange(m_h, h);
        if (old != reinterpret_cast<T>(Invalid))
            Close(old);
    }
    // For out-parameters of platform calls.
    T* Put()
    {
        Reset();
        return &m_h;
    }

private:
    T m_h = reinterpret_cast<T>(Invalid);
};

namespace detail {
inline void CloseKernelHandle(HANDLE h) { ::CloseHandle(h); }
inline void CloseIcon(HICON h) { ::DestroyIcon(h); }
inline void CloseLibrary(HMODULE h) { ::FreeLibrary(h); }
inline void CloseGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void CloseWindow(HWND h) { ::DestroyWindow(h); }
inline void CloseKey(HKEY h) { ::RegCloseKey(h); }
inline void CloseFind(HANDLE h) { ::FindClose(h); }
inline void CloseDC(HDC h) { ::DeleteDC(h); }
constexpr intptr_t kInvalidHandle = -1;
}  // namespace detail

using CHandle = CUniqueAny<HANDLE, detail::CloseKernelHandle>;
using CFileHandle = CUniqueAny<HANDLE, detail::CloseKernelHandle, detail::kInvalidHandle>;
using CFindHandle = CUniqueAny<HANDLE, detail::CloseFind, detail::kInvalidHandle>;
using CIcon = CUniqueAny<HICON, detail::CloseIcon>;
using CLibrary = CUniqueAny<HMODULE, detail::CloseLibrary>;
using CGdiObject = CUniqueAny<HGDIOBJ, detail::CloseGdiObject>;
using CWindow = CUniqueAny<HWND, detail::CloseWindow>;
using CRegKey = CUniqueAny<HKEY, detail::CloseKey>;
using CMemDC = CUniqueAny<HDC, detail::CloseDC>;
// Destroyed by the library that made it (platform/ActivationContext.h).
void DestroyImageList(HIMAGELIST hImages);
using CImageList = CUniqueAny<HIMAGELIST, DestroyImageList>;

// A window's paint scope: BeginPaint in, EndPaint out, with what BeginPaint
// filled in.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::BeginPaint(hWnd, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC Get() const { return m_hDC; }
    const PAINTSTRUCT& Info() const { return m_ps; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};

// An object selected into a device context for a scope; the previous one is
// selected back, so the object can be deleted afterwards.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObject) : m_hDC(hDC), m_hPrevious(::SelectObject(hDC, hObject)) {}
    ~CSelectObject()
    {
        if (m_hPrevious)
            ::SelectObject(m_hDC, m_hPrevious);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hPrevious;
};

}  // namespace platform
