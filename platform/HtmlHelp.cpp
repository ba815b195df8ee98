#include "platform/HtmlHelp.h"

#include <htmlhelp.h>

namespace platform {

namespace {
HWND WINAPI PlatformHtmlHelp(HWND hwndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData)
{
    return ::HtmlHelpA(hwndCaller, pszFile, uCommand, dwData);
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
