#include "platform/HtmlHelp.h"

#include <htmlhelp.h>

#include "platform/Module.h"

namespace platform {

namespace {

// The viewer is loaded when help is first asked for, so a machine without it
// still loads the accessory. It stays loaded: its windows may outlive every
// object of ours, and they live in its code.
HtmlHelpFn LoadViewer()
{
    static const HtmlHelpFn pfnViewer = [] {
        HMODULE hViewer = LoadSystemLibrary("hhctrl.ocx");
        return hViewer ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(::GetProcAddress(hViewer, "HtmlHelpA")))
                       : nullptr;
    }();
    return pfnViewer;
}

// Without a viewer the Help button does nothing.
HWND WINAPI PlatformHtmlHelp(HWND hwndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData)
{
    const HtmlHelpFn pfnViewer = LoadViewer();
    return pfnViewer ? pfnViewer(hwndCaller, pszFile, uCommand, dwData) : nullptr;
}

HtmlHelpFn g_pfnHtmlHelp = PlatformHtmlHelp;

}  // namespace

HWND ShowHelpTopic(HWND hOwner, const std::string& helpPath)
{
    return g_pfnHtmlHelp(hOwner, helpPath.c_str(), HH_DISPLAY_TOPIC, 0);
}

HtmlHelpFn SetHtmlHelpHandler(HtmlHelpFn pfn)
{
    HtmlHelpFn previous = g_pfnHtmlHelp;
    g_pfnHtmlHelp = pfn ? pfn : PlatformHtmlHelp;
    return previous;
}

}  // namespace platform
