#pragma once
// Owning wrappers for platform handles, after the unique_any pattern: one
// template, one line per handle kind naming its invalid value and its closer.
#include <windows.h>

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

}  // namespace platform
