#include "qtvpublish/real/ProxyChoice.h"

#include <winhttp.h>

#include <new>

#include "platform/UniqueHandle.h"
#include "qtvpublish/real/InternetHandle.h"

namespace qtvpublish {

namespace {

std::wstring Take(LPWSTR& text)
{
    std::wstring copy = text ? text : L"";
    ::GlobalFree(text);
    text = nullptr;
    return copy;
}

CProxyChoice ChoiceOf(WINHTTP_PROXY_INFO& info)
{
    CProxyChoice choice;
    choice.m_bNamed = info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY && info.lpszProxy && *info.lpszProxy;
    choice.m_strProxy = Take(info.lpszProxy);
    choice.m_strBypass = Take(info.lpszProxyBypass);
    if (!choice.m_bNamed)
        choice = CProxyChoice();
    return choice;
}

// One automatic look-up, shared by the caller and the thread that runs it;
// whichever lets go last frees it.
struct CLookup {
    LONG m_nRefs = 2;
    platform::CHandle m_hDone;
    std::wstring m_strUrl;
    std::wstring m_strScriptUrl;
    bool m_bAutoDetect = false;
    DWORD m_dwWaitMs = 0;
    bool m_bAnswered = false;
    CProxyChoice m_choice;

    void Release()
    {
        if (::InterlockedDecrement(&m_nRefs) == 0)
            delete this;
    }
};

void RunLookup(CLookup& lookup)
{
    CInternet session(::WinHttpOpen(L"QTVPublish/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return;
    const int ms = static_cast<int>(lookup.m_dwWaitMs);
    ::WinHttpSetTimeouts(session.Get(), ms, ms, ms, ms);
    WINHTTP_AUTOPROXY_OPTIONS options = {};
    if (lookup.m_bAutoDetect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    if (!lookup.m_strScriptUrl.empty()) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = lookup.m_strScriptUrl.c_str();
    }
    WINHTTP_PROXY_INFO info = {};
    options.fAutoLogonIfChallenged = FALSE;
    BOOL ok = ::WinHttpGetProxyForUrl(session.Get(), lookup.m_strUrl.c_str(), &options, &info);
    if (!ok && ::GetLastError() == ERROR_WINHTTP_LOGIN_FAILURE) {
        options.fAutoLogonIfChallenged = TRUE;
        ok = ::WinHttpGetProxyForUrl(session.Get(), lookup.m_strUrl.c_str(), &options, &info);
    }
    if (ok) {
        lookup.m_choice = ChoiceOf(info);
        lookup.m_bAnswered = true;
    }
}

DWORD WINAPI LookupThread(void* parameter)
{
    // The thread holds the module: the caller may give up waiting and the
    // host may unload the library before the look-up ends.
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&LookupThread), &self);
    CLookup* lookup = static_cast<CLookup*>(parameter);
    // An exception must not leave a thread procedure; a failed look-up is an
    // unanswered one.
    try {
        RunLookup(*lookup);
    } catch (...) {
    }
    ::SetEvent(lookup->m_hDone.Get());
    lookup->Release();
    ::FreeLibraryAndExitThread(self, 0);
}

// True when the automatic configuration answered within waitMs.
bool LookUpAutomatically(const std::wstring& url, const std::wstring& scriptUrl, bool autoDetect, DWORD waitMs,
                         CProxyChoice& choice)
{
    CLookup* lookup = new (std::nothrow) CLookup;
    if (!lookup)
        return false;
    lookup->m_hDone.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    lookup->m_strUrl = url;
    lookup->m_strScriptUrl = scriptUrl;
    lookup->m_bAutoDetect = autoDetect;
    lookup->m_dwWaitMs = waitMs;
    platform::CHandle thread;
    if (lookup->m_hDone)
        thread.Reset(::CreateThread(nullptr, 0, LookupThread, lookup, 0, nullptr));
    if (!thread) {
        delete lookup;
        return false;
    }
    const bool done = ::WaitForSingleObject(lookup->m_hDone.Get(), waitMs) == WAIT_OBJECT_0;
    const bool answered = done && lookup->m_bAnswered;
    if (answered)
        choice = lookup->m_choice;
    lookup->Release();
    return answered;
}

}  // namespace

CProxyChoice ResolveProxy(const std::wstring& url, DWORD waitMs)
{
    CProxyChoice choice;
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG user = {};
    if (::WinHttpGetIEProxyConfigForCurrentUser(&user)) {
        const std::wstring scriptUrl = Take(user.lpszAutoConfigUrl);
        WINHTTP_PROXY_INFO fixed = {};
        fixed.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        fixed.lpszProxy = user.lpszProxy;
        fixed.lpszProxyBypass = user.lpszProxyBypass;
        user.lpszProxy = user.lpszProxyBypass = nullptr;
        const bool automatic = (user.fAutoDetect || !scriptUrl.empty()) &&
                               LookUpAutomatically(url, scriptUrl, user.fAutoDetect != FALSE, waitMs, choice);
        const CProxyChoice fixedChoice = ChoiceOf(fixed);
        if (automatic)
            return choice;
        if (fixedChoice.m_bNamed)
            return fixedChoice;
    }
    // The user's settings name no proxy: the machine's, set with netsh or proxycfg.
    WINHTTP_PROXY_INFO machine = {};
    if (::WinHttpGetDefaultProxyConfiguration(&machine))
        return ChoiceOf(machine);
    return CProxyChoice();
}

}  // namespace qtvpublish
