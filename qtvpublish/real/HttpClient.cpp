#include "qtvpublish/real/HttpClient.h"

#include <winhttp.h>

#include <algorithm>
#include <vector>

#include "qtvpublish/real/EndpointAddress.h"
#include "qtvpublish/real/ProxyChoice.h"
#include "qtvpublish/real/ServerCertificate.h"
#include "qtvpublish/real/UrlRules.h"
#include "qtvpublish/real/Utf8.h"

namespace qtvpublish {

namespace {

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

CHttpResult TimedOut()
{
    return Failure(CHttpResult::Kind::TimedOut, ERROR_WINHTTP_TIMEOUT);
}

bool QueryStatus(HINTERNET hRequest, DWORD& status)
{
    DWORD size = sizeof status;
    return ::WinHttpQueryHeaders(hRequest, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) != FALSE;
}

// One instance of a header (index counts the instances); empty when absent.
std::wstring QueryHeader(HINTERNET hRequest, DWORD level, const wchar_t* name, DWORD* index)
{
    DWORD size = 0;
    DWORD probe = index ? *index : 0;
    ::WinHttpQueryHeaders(hRequest, level, name, WINHTTP_NO_OUTPUT_BUFFER, &size, index ? &probe : nullptr);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return std::wstring();
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    if (!::WinHttpQueryHeaders(hRequest, level, name, text.data(), &size, index))
        return std::wstring();
    return std::wstring(text.data());
}

std::wstring QueryAll(HINTERNET hRequest, const wchar_t* name)
{
    std::wstring all;
    DWORD index = 0;
    for (int i = 0; i < 64; ++i) {
        const DWORD before = index;
        const std::wstring one = QueryHeader(hRequest, WINHTTP_QUERY_CUSTOM, name, &index);
        if (one.empty() || index == before)
            break;
        if (!all.empty())
            all += L", ";
        all += one;
    }
    return all;
}

bool IsRedirect(DWORD status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

constexpr wchar_t kAgent[] = L"QTVPublish/1.0";

// After a proxy's 407: Negotiate or NTLM, when the proxy takes either, with
// the user's Windows log-on (no name or password of ours). WinHTTP carries
// the exchange of challenges itself on the next send.
bool OfferWindowsLogOn(HINTERNET hRequest)
{
    DWORD supported = 0, first = 0, target = 0;
    if (!::WinHttpQueryAuthSchemes(hRequest, &supported, &first, &target) || target != WINHTTP_AUTH_TARGET_PROXY)
        return false;
    const DWORD scheme = (supported & WINHTTP_AUTH_SCHEME_NEGOTIATE) ? WINHTTP_AUTH_SCHEME_NEGOTIATE
                         : (supported & WINHTTP_AUTH_SCHEME_NTLM)   ? WINHTTP_AUTH_SCHEME_NTLM
                                                                    : 0;
    if (scheme == 0)
        return false;
    // The default (medium) policy gives the log-on to intranet hosts only;
    // a proxy the user's settings name is trusted with it.
    DWORD policy = WINHTTP_AUTOLOGON_SECURITY_LEVEL_LOW;
    ::WinHttpSetOption(hRequest, WINHTTP_OPTION_AUTOLOGON_POLICY, &policy, sizeof policy);
    return ::WinHttpSetCredentials(hRequest, WINHTTP_AUTH_TARGET_PROXY, scheme, nullptr, nullptr, nullptr) != FALSE;
}

std::wstring ServerKey(const CUrlParts& parts)
{
    return parts.m_strHost + L":" + std::to_wstring(parts.m_nPort);
}

DWORD Bounded(int configuredMs, DWORD remainingMs)
{
    return std::min(static_cast<DWORD>(std::max(configuredMs, 1)), remainingMs);
}

}  // namespace

CHttpClient::CHttpClient(const CHttpTimeouts& timeouts)
    : m_timeouts(timeouts), m_nDeadline(::GetTickCount64() + static_cast<ULONGLONG>(std::max(timeouts.m_nTotalMs, 0)))
{
}

bool CHttpClient::OpenSession(const std::wstring& url, const CUrlParts& parts)
{
    if (m_hSession)
        return true;
    // Decided once, for the first address: every later request of the call
    // goes to the same site or to a blog's own site under its host. The proxy
    // belongs to the session because not every WinHTTP (Wine's) takes one per request.
    CProxyChoice proxy;
    if (!IsLoopbackName(Utf8FromWide(parts.m_strHost)))
        proxy = ResolveProxy(url, Bounded(m_timeouts.m_nConnectMs, RemainingMs()));
    m_bProxied = proxy.m_bNamed;
    if (proxy.m_bNamed)
        m_hSession.Reset(::WinHttpOpen(kAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.m_strProxy.c_str(),
                                       proxy.m_strBypass.empty() ? WINHTTP_NO_PROXY_BYPASS : proxy.m_strBypass.c_str(),
                                       0));
    else
        m_hSession.Reset(::WinHttpOpen(kAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
    if (!m_hSession)
        return false;
    // TLS 1.2 and later only. Systems that do not know TLS 1.3 refuse its flag.
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!::WinHttpSetOption(m_hSession.Get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        m_bTlsRestricted =
            ::WinHttpSetOption(m_hSession.Get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols) != FALSE;
    } else {
        m_bTlsRestricted = true;
    }
    return true;
}

DWORD CHttpClient::RemainingMs() const
{
    const ULONGLONG now = ::GetTickCount64();
    return now >= m_nDeadline ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(m_nDeadline - now, 0x7FFFFFFF));
}

CHttpResult CHttpClient::Post(const std::wstring& url, std::string body, const std::wstring& contentType)
{
    CHttpRequest request;
    request.m_strUrl = url;
    request.m_strHeaders = L"Content-Type: " + contentType + L"\r\n";
    request.m_strBody = std::move(body);
    return Send(request);
}

CHttpResult CHttpClient::Send(const CHttpRequest& first)
{
    if (first.m_strBody.size() > 0x7FFFFFFF)
        return Failure(CHttpResult::Kind::Failed);
    CUrlParts parts;
    if (!CrackUrl(first.m_strUrl, parts))
        return Failure(CHttpResult::Kind::BadAddress);
    if (!OpenSession(first.m_strUrl, parts))
        return LastFailure();

    // The body is never copied: a redirect changes only where, and maybe how, it goes.
    std::wstring method = first.m_strMethod;
    std::wstring url = first.m_strUrl;
    const std::string noBody;
    const std::string* body = &first.m_strBody;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        bool redirected = false;
        std::wstring location;
        DWORD status = 0;
        CHttpResult result = SendOnce(method, url, first.m_strHeaders, *body, redirected, location, status);
        if (!redirected)
            return result;

        const std::wstring next = ResolveLocation(url, location);
        CUrlParts nextParts;
        if (!CrackUrl(next, nextParts)) {
            result = Failure(CHttpResult::Kind::OtherOrigin);
            result.m_strLocation = next.empty() ? location : next;
            return result;
        }
        // The call carries the log-in: it goes nowhere but where the user sent it.
        switch (ClassifyHop(parts, nextParts)) {
        case CHop::Downgrade:
            return Failure(CHttpResult::Kind::Insecure);
        case CHop::OtherOrigin:
            result = Failure(CHttpResult::Kind::OtherOrigin);
            result.m_strLocation = next;
            return result;
        default:
            break;
        }
        // "See other" asks for the answer elsewhere, not for the call to be made again.
        if (status == 303 && method != L"HEAD") {
            method = L"GET";
            body = &noBody;
        }
        url = next;
        parts = nextParts;
    }
    return Failure(CHttpResult::Kind::Failed);
}

// Before the first request to an https server, its certificate is fetched
// with a handshake of our own that sends nothing after it, and checked for
// every fault at once: a refusal names its fault, and the platform's own
// answer is not the only guard (Wine's WinHTTP calls every fault by one
// error, and lets a revoked certificate through). A server whose revocation
// cannot be learnt is then asked without WinHTTP's revocation check, which
// would refuse it; WinHTTP still checks everything else.
CCertificateVerdict CHttpClient::VetServer(const CUrlParts& parts)
{
    const std::wstring key = ServerKey(parts);
    const auto known = m_servers.find(key);
    if (known != m_servers.end())
        return known->second;
    CCertificateVerdict verdict = CCertificateVerdict::Accepted;
    CCertificateChecks checks;
    // No certificate to be had (no TLS there, or the server is gone): WinHTTP
    // tries, with every check of its own, and says what went wrong.
    const DWORD remaining = RemainingMs();
    if (remaining > 0 &&
        CheckServerCertificate(parts.m_strHost, parts.m_nPort, Bounded(m_timeouts.m_nConnectMs, remaining), checks))
        verdict = JudgeCertificate(checks);
    m_servers[key] = verdict;
    return verdict;
}

// Sends the request's headers and body and waits for the answer's headers.
CHttpResult CHttpClient::SendBody(HINTERNET hRequest, const std::wstring& headers, const std::string& body)
{
    DWORD remaining = 0;
    if (!::WinHttpSendRequest(hRequest, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                              headers.empty() ? 0 : static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0,
                              static_cast<DWORD>(body.size()), 0))
        return LastFailure();
    // In pieces, so a server that reads slowly meets the budget between them
    // and each piece may wait only for what is left of it.
    for (std::size_t sent = 0; sent < body.size();) {
        if ((remaining = RemainingMs()) == 0)
            return TimedOut();
        if (m_pUploadProgress && !m_pUploadProgress->Report(kPublishUploading, sent, body.size()))
            return Failure(CHttpResult::Kind::Failed);
        DWORD sendMs = Bounded(m_timeouts.m_nSendMs, remaining);
        ::WinHttpSetOption(hRequest, WINHTTP_OPTION_SEND_TIMEOUT, &sendMs, sizeof sendMs);
        const DWORD piece = static_cast<DWORD>(std::min(kSendChunkBytes, body.size() - sent));
        DWORD written = 0;
        if (!::WinHttpWriteData(hRequest, body.data() + sent, piece, &written))
            return LastFailure();
        if (written == 0)
            return Failure(CHttpResult::Kind::Failed);
        sent += written;
    }
    if (m_pUploadProgress && !body.empty() && !m_pUploadProgress->Report(kPublishUploading, body.size(), body.size()))
        return Failure(CHttpResult::Kind::Failed);

    if ((remaining = RemainingMs()) == 0)
        return TimedOut();
    // WinHttpSetTimeouts does not bound the wait for the answer's headers
    // everywhere (Wine waits for ever); this option does.
    DWORD receiveMs = Bounded(m_timeouts.m_nReceiveMs, remaining);
    ::WinHttpSetOption(hRequest, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &receiveMs, sizeof receiveMs);
    ::WinHttpSetOption(hRequest, WINHTTP_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof receiveMs);
    if (!::WinHttpReceiveResponse(hRequest, nullptr))
        return LastFailure();

    CHttpResult ok;
    ok.m_kind = CHttpResult::Kind::Ok;
    return ok;
}

CHttpResult CHttpClient::SendOnce(const std::wstring& method, const std::wstring& url, const std::wstring& headers,
                                  const std::string& body, bool& redirected, std::wstring& location, DWORD& status)
{
    redirected = false;
    CUrlParts parts;
    if (!CrackUrl(url, parts))
        return Failure(CHttpResult::Kind::BadAddress);
    if (parts.m_bSecure && !m_bTlsRestricted)
        return Failure(CHttpResult::Kind::Certificate);
    DWORD remaining = RemainingMs();
    if (remaining == 0)
        return TimedOut();

    CInternet connection(::WinHttpConnect(m_hSession.Get(), parts.m_strHost.c_str(), parts.m_nPort, 0));
    if (!connection)
        return LastFailure();
    CInternet request(::WinHttpOpenRequest(connection.Get(), method.c_str(), parts.m_strPath.c_str(),
                                           nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           parts.m_bSecure ? WINHTTP_FLAG_SECURE : 0));
    if (!request)
        return LastFailure();
    // Followed here instead, under the origin rule, and posted again.
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    ::WinHttpSetOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof disable);
    bool checkRevocation = parts.m_bSecure;
    // Through a proxy the server is not ours to reach directly: WinHTTP alone checks it.
    if (parts.m_bSecure && !m_bProxied) {
        const CCertificateVerdict verdict = VetServer(parts);
        if (!IsAccepted(verdict)) {
            CHttpResult refused = Failure(CHttpResult::Kind::Certificate);
            refused.m_certificate = verdict;
            return refused;
        }
        checkRevocation = verdict != CCertificateVerdict::AcceptedRevocationUnknown;
    }
    if (checkRevocation) {
        DWORD revocation = WINHTTP_ENABLE_SSL_REVOCATION;
        if (!::WinHttpSetOption(request.Get(), WINHTTP_OPTION_ENABLE_FEATURE, &revocation, sizeof revocation))
            return Failure(CHttpResult::Kind::Certificate, ::GetLastError());
    }

    ::WinHttpSetTimeouts(request.Get(), static_cast<int>(Bounded(m_timeouts.m_nResolveMs, remaining)),
                         static_cast<int>(Bounded(m_timeouts.m_nConnectMs, remaining)),
                         static_cast<int>(Bounded(m_timeouts.m_nSendMs, remaining)),
                         static_cast<int>(Bounded(m_timeouts.m_nReceiveMs, remaining)));
    CHttpResult sent = SendBody(request.Get(), headers, body);
    if (sent.m_kind != CHttpResult::Kind::Ok)
        return sent;
    DWORD answered = 0;
    if (!QueryStatus(request.Get(), answered))
        return LastFailure();
    if (answered == 407) {
        // Only a proxy the call goes through may ask, and only the Windows
        // log-on is offered; Basic and Digest would want a name and password
        // the library does not have, and would carry them in clear.
        if (!m_bProxied || !OfferWindowsLogOn(request.Get()))
            return Failure(CHttpResult::Kind::ProxyRefused);
        sent = SendBody(request.Get(), headers, body);
        if (sent.m_kind != CHttpResult::Kind::Ok)
            return sent;
        if (!QueryStatus(request.Get(), answered))
            return LastFailure();
        if (answered == 407)
            return Failure(CHttpResult::Kind::ProxyRefused);
    }

    CHttpResult result;
    if (!QueryStatus(request.Get(), result.m_dwStatus))
        return LastFailure();
    status = result.m_dwStatus;
    if (IsRedirect(result.m_dwStatus)) {
        redirected = true;
        location = QueryHeader(request.Get(), WINHTTP_QUERY_LOCATION, WINHTTP_HEADER_NAME_BY_INDEX, nullptr);
        return result;
    }
    result.m_strContentType = QueryHeader(request.Get(), WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                                          nullptr);
    result.m_strLinks = QueryAll(request.Get(), L"Link");

    for (;;) {
        if ((remaining = RemainingMs()) == 0)
            return TimedOut();
        DWORD receiveMs = Bounded(m_timeouts.m_nReceiveMs, remaining);
        ::WinHttpSetOption(request.Get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof receiveMs);
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

}  // namespace qtvpublish
