#include "host/Screenshot.h"

#include <gdiplus.h>

#include <memory>

#include "platform/UniqueHandle.h"

namespace host {

namespace {
bool PngEncoder(CLSID& clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::unique_ptr<char[]> buffer(new char[size]);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.get());
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (lstrcmpiW(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

BOOL CALLBACK AddMenuRect(HWND hWnd, LPARAM lParam)
{
    char cls[16] = {};
    ::GetClassNameA(hWnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32768") == 0 && ::IsWindowVisible(hWnd)) {
        RECT rc;
        ::GetWindowRect(hWnd, &rc);
        auto* total = reinterpret_cast<RECT*>(lParam);
        ::UnionRect(total, total, &rc);
    }
    return TRUE;
}
}  // namespace

RECT WindowWithMenusRect(HWND hWnd)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    ::EnumWindows(AddMenuRect, reinterpret_cast<LPARAM>(&rc));
    return rc;
}

bool SaveScreenRectToPng(const RECT& rc, const std::wstring& path)
{
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return false;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool saved = false;
    {
        HDC hScreen = ::GetDC(nullptr);
        platform::CMemDC hMem(::CreateCompatibleDC(hScreen));
        platform::CGdiObject hBitmap(::CreateCompatibleBitmap(hScreen, width, height));
        HGDIOBJ old = ::SelectObject(hMem.Get(), hBitmap.Get());
        ::BitBlt(hMem.Get(), 0, 0, width, height, hScreen, rc.left, rc.top, SRCCOPY);
        ::SelectObject(hMem.Get(), old);
        ::ReleaseDC(nullptr, hScreen);
        CLSID png;
        if (PngEncoder(png)) {
            Gdiplus::Bitmap image(static_cast<HBITMAP>(hBitmap.Get()), nullptr);
            saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

}  // namespace host
