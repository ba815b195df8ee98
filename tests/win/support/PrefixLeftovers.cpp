#include "support/PrefixLeftovers.h"

#include <windows.h>
#include <winhttp.h>

#include <string>

#include "platform/UniqueHandle.h"
#include "support/TestAccessory.h"

namespace testing_support {

namespace {

// Only what a test sets: a proxy on this machine's loopback address.
bool IsTestProxy(const wchar_t* pszProxy) { return pszProxy && std::wstring(pszProxy).find(L"127.0.0.1") != std::wstring::npos; }

void ClearProxies()
{
    WINHTTP_PROXY_INFO machine = {};
    if (::WinHttpGetDefaultProxyConfiguration(&machine)) {
        if (IsTestProxy(machine.lpszProxy)) {
            WINHTTP_PROXY_INFO none = {};
            none.dwAccessType = WINHTTP_ACCESS_TYPE_NO_PROXY;
            ::WinHttpSetDefaultProxyConfiguration(&none);
        }
        ::GlobalFree(machine.lpszProxy);
        ::GlobalFree(machine.lpszProxyBypass);
    }
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user = {};
    if (::WinHttpGetIEProxyConfigForCurrentUser(&user)) {
        if (IsTestProxy(user.lpszAutoConfigUrl) || IsTestProxy(user.lpszProxy)) {
            platform::CRegKey key;
            if (::RegOpenKeyExA(HKEY_CURRENT_USER,
                                "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections", 0,
                                KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
                ::RegDeleteValueA(key.Get(), "DefaultConnectionSettings");
        }
        ::GlobalFree(user.lpszAutoConfigUrl);
        ::GlobalFree(user.lpszProxy);
        ::GlobalFree(user.lpszProxyBypass);
    }
}

}  // namespace

void ClearRegistrations()
{
    const std::string keys[] = {"WordPress.WordPressOutput.1",  "WordPress.WordPressOutput",
                                "WordPress.Package.1",          "WordPress.Package",
                                "AppID\\WordPress.DLL",         std::string("AppID\\") + kAppId,
                                std::string("CLSID\\") + kOutputClsid, std::string("CLSID\\") + kPackageClsid,
                                std::string("TypeLib\\") + kLibId};
    for (const std::string& key : keys)
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
}

void ClearDumpFolder()
{
    const char* const folder = "c:\\DebugBlogHTML";
    const DWORD attributes = ::GetFileAttributesA(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        ::RemoveDirectoryA(folder);
    else if (attributes != INVALID_FILE_ATTRIBUTES)
        RemoveTree(folder);
    RemoveTree("c:\\DebugBlogTarget");
    ::DeleteFileA("c:\\DebugBlogVictim.txt");
}

void ClearLeftoversOfKilledTests()
{
    ClearDumpFolder();
    ClearProxies();
}

}  // namespace testing_support
