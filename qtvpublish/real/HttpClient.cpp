#include "qtvpublish/real/HttpClient.h"

#include <winhttp.h>

#include <vector>

#include "qtvpublish/real/InternetHandle.h"

namespace qtvpublish {

namespace {

struct CUrlParts {
    bool m_bSecure = false;
    std::wstring m_strHost;
    INTERNET_PORT m_nPort = 0;
    std::wstring m_strPath;  // path and query
};

bool Crack(const std::wstring& url, CUrlParts& parts)
{
    URL_COMPONENTS uc = {};
    uc.dwStructSize = sizeof uc;
    uc.dwSchemeLength = uc.dwHostNameLength = uc.dwUrlPathLength = uc.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (url.empty() || !::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &uc))
        return false;
    if (uc.nScheme != INTERNET_SCHEME_HTTP && uc.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    if (!uc.lpszHostName || uc.dwHostNameLength == 0)
        return false;
    parts.m_bSecure = uc.nScheme == INTERNET_SCHEME_HTTPS;
    parts.m_strHost.assign(uc.lpszHostName, uc.dwHostNameLength);
    parts.m_nPort = uc.nPort;
    parts.m_strPath.assign(uc.lpszUrlPath ? uc.lpszUrlPath : L"", uc.dwUrlPathLength);
    if (uc.lpszExtraInfo)
        parts.m_strPath.append(uc.lpszExtraInfo, uc.dwExtraInfoLength);
    if (parts.m_strPath.empty())
        parts.m_strPath = L"/";
    return true;
}

bool IsLoopback(const std::wstring& host)
{
    return host == L"127.0.0.1" || host == L"localhost" || host == L"[::1]" || host == L"::1";
}

CHttpResult::Kind KindOfError(DWORD error)
{
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
        return CHttpResult::Kind::TimedOut;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_CONNECTION_ERROR:
        return CHttpResult::Kind::Unreachable;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
        return CHttpResult::Kind::Certificate;
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
        return CHttpResult::Kind::BadAddress;
    default:
        return CHttpResult::Kind::Failed;
    }
}

CHttpResult Failure(CHttpResult::Kind kind, DWORD error = 0)
{
    CHttpResult result;
    result.m_kind = kind;
    result.m_dwError = error;
    return result;
}

CHttpResult LastFailure()
{
    const DWORD error = ::GetLastError();
    return Failure(KindOfError(error), error);
}

// Applies the user's proxy to one request: a fixed proxy with its bypass
// list, or the automatic configuration when the user asked for it.
void ApplyUserProxy(HINTERNET hSession, HINTERNET hRequest, const std::wstring& url)
{
    WINHTTP_PROXY_INFO info = {};
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG ie = {};
    if (!::WinHttpGetIEProxyConfigForCurrentUser(&ie)) {
        // No per-user settings: the machine's WinHTTP proxy, if one is set.
        if (::WinHttpGetDefaultProxyConfiguration(&info) && info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY)
            ::WinHttpSetOption(hRequest, WINHTTP_OPTION_PROXY, &info, sizeof info);
        ::GlobalFree(info.lpszProxy);
        ::GlobalFree(info.lpszProxyBypass);
        return;
    }
    bool haveInfo = false;
    if (ie.fAutoDetect || ie.lpszAutoConfigUrl) {
        WINHTTP_AUTOPROXY_OPTIONS options = {};
        options.dwFlags = ie.lpszAutoConfigUrl ? WINHTTP_AUTOPROXY_CONFIG_URL : WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
        options.lpszAutoConfigUrl = ie.lpszAutoConfigUrl;
        options.fAutoLogonIfChallenged = TRUE;
        haveInfo = ::WinHttpGetProxyForUrl(hSession, url.c_str(), &options, &info) != FALSE;
    }
    if (!haveInfo && ie.lpszProxy) {
        info.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        info.lpszProxy = ie.lpszProxy;
        info.lpszProxyBypass = ie.lpszProxyBypass;
        ::WinHttpSetOption(hRequest, WINHTTP_OPTION_PROXY, &info, sizeof info);
        info.lpszProxy = info.lpszProxyBypass = nullptr;  // still owned by ie
    } else if (haveInfo) {
        ::WinHttpSetOption(hRequest, WINHTTP_OPTION_PROXY, &info, sizeof info);
        ::GlobalFree(info.lpszProxy);
        ::GlobalFree(info.lpszProxyBypass);
    }
    ::GlobalFree(ie.lpszAutoConfigUrl);
    ::GlobalFree(ie.lpszProxy);
    ::GlobalFree(ie.lpszProxyBypass);
}

bool QueryStatus(HINTERNET hRequest, DWORD& status)
{
    DWORD size = sizeof status;
    return ::WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) != FALSE;
}

std::wstring QueryLocation(HINTERNET hRequest)
{
    DWORD size = 0;
    ::WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                          &size, WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return std::wstring();
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (!::WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                               WINHTTP_NO_HEADER_INDEX))
        return std::wstring();
    return std::wstring(text.data());
}

// The redirect's target as a full address: absolute, or from the root of
// the current server.
std::wstring Resolve(const CUrlParts& from, const std::wstring& location)
{
    if (location.find(L"://") != std::wstring::npos)
        return location;
    if (location.empty() || location[0] != L'/')
        return std::wstring();
    return std::wstring(from.m_bSecure ? L"https://" : L"http://") + from.m_strHost + L":" +
           std::to_wstring(from.m_nPort) + location;
}

bool IsRedirect(DWORD status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

CHttpResult CHttpClient::Post(const std::wstring& firstUrl, const std::string& body,
                              const std::wstring& contentType) const
{
    if (body.size() > 0x7FFFFFFF)
        return Failure(CHttpResult::Kind::Failed);
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(m_timeouts.m_nTotalMs);

    CInternet session(::WinHttpOpen(L"QTVPublish/1.0", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return LastFailure();
    ::WinHttpSetTimeouts(session.Get(), m_timeouts.m_nResolveMs, m_timeouts.m_nConnectMs, m_timeouts.m_nSendMs,
                         m_timeouts.m_nReceiveMs);

    std::wstring url = firstUrl;
    bool wasSecure = false;
    const std::wstring headers = L"Content-Type: " + contentType;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        if (::GetTickCount64() > deadline)
            return Failure(CHttpResult::Kind::TimedOut, ERROR_WINHTTP_TIMEOUT);
        CUrlParts parts;
        if (!Crack(url, parts))
            return Failure(CHttpResult::Kind::BadAddress);
        // The password travels in the body: never from a secure address to a plain one.
        if (wasSecure && !parts.m_bSecure)
            return Failure(CHttpResult::Kind::Insecure);
        wasSecure = parts.m_bSecure;

        CInternet connection(::WinHttpConnect(session.Get(), parts.m_strHost.c_str(), parts.m_nPort, 0));
        if (!connection)
            return LastFailure();
        CInternet request(::WinHttpOpenRequest(connection.Get(), L"POST", parts.m_strPath.c_str(), nullptr,
                                               WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                               parts.m_bSecure ? WINHTTP_FLAG_SECURE : 0));
        if (!request)
            return LastFailure();
        // Followed here instead, so a redirected call is posted again rather than turned into a GET.
        DWORD disable = WINHTTP_DISABLE_REDIRECTS;
        ::WinHttpSetOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);
        // WinHttpSetTimeouts does not bound the wait for the answer's headers
        // everywhere (Wine waits for ever); this option does.
        DWORD responseMs = static_cast<DWORD>(m_timeouts.m_nReceiveMs);
        ::WinHttpSetOption(request.Get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseMs, sizeof responseMs);
        if (!IsLoopback(parts.m_strHost))
            ApplyUserProxy(session.Get(), request.Get(), url);

        if (!::WinHttpSendRequest(request.Get(), headers.c_str(), static_cast<DWORD>(-1),
                                  const_cast<char*>(body.data()), static_cast<DWORD>(body.size()),
                                  static_cast<DWORD>(body.size()), 0) ||
            !::WinHttpReceiveResponse(request.Get(), nullptr))
            return LastFailure();

        CHttpResult result;
        if (!QueryStatus(request.Get(), result.m_dwStatus))
            return LastFailure();
        if (IsRedirect(result.m_dwStatus)) {
            url = Resolve(parts, QueryLocation(request.Get()));
            if (url.empty())
                return Failure(CHttpResult::Kind::BadAddress);
            continue;
        }

        for (;;) {
            if (::GetTickCount64() > deadline)
                return Failure(CHttpResult::Kind::TimedOut, ERROR_WINHTTP_TIMEOUT);
            DWORD available = 0;
            if (!::WinHttpQueryDataAvailable(request.Get(), &available))
                return LastFailure();
            if (available == 0)
                break;
            if (result.m_strBody.size() + available > kMaxAnswerBytes)
                return Failure(CHttpResult::Kind::Failed);
            const std::size_t old = result.m_strBody.size();
            result.m_strBody.resize(old + available);
            DWORD read = 0;
            if (!::WinHttpReadData(request.Get(), &result.m_strBody[old], available, &read))
                return LastFailure();
            result.m_strBody.resize(old + read);
        }
        result.m_kind = CHttpResult::Kind::Ok;
        return result;
    }
    return Failure(CHttpResult::Kind::Failed);
}

}  // namespace qtvpublish
