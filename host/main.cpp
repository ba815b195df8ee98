// Sample host: loads the accessory from its folder and drives it the way the
// screen-capture application does.
#include <windows.h>
#include <gdiplus.h>
#include <objbase.h>
#include <shellapi.h>

#include "host/HostApp.h"

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    host::CHostOptions options = host::ParseHostOptions(argc, argv);
    ::LocalFree(argv);

    ::OleInitialize(nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int rc = 0;
    {
        host::CHostApp app(std::move(options));
        rc = app.Run();
    }
    Gdiplus::GdiplusShutdown(token);
    ::OleUninitialize();
    // Leave at once: a lingering apartment thread can keep a process alive under Wine.
    ::ExitProcess(static_cast<UINT>(rc));
}
