#pragma once
// HTTP and HTTPS over WinHTTP for one export call: one session, one time
// budget and one proxy decision for every request the call makes.
// Certificates and their revocation are checked (a revocation that cannot be
// learnt is let pass, a revoked certificate is not), TLS below 1.2 is refused,
// redirects are followed only on the same origin (or from http to https on
// the same host), and no wait outlasts the call's budget. A proxy that asks
// for a log-in is offered the user's Windows log-on, and only through
// Negotiate or NTLM, which never send the password itself.
#include <windows.h>

#include <cstddef>
#include <map>
#include <string>

#include "qtvpublish/real/CertificateRules.h"
#include "qtvpublish/real/InternetHandle.h"
#include "qtvpublish/real/ProgressReport.h"

namespace qtvpublish {

struct CUrlParts;

struct CHttpTimeouts {
    int m_nResolveMs = 15000;
    int m_nConnectMs = 15000;
    int m_nSendMs = 30000;
    int m_nReceiveMs = 30000;
    // The whole export call, every request, redirect and proxy look-up
    // included: a server that trickles its answer or reads an upload byte by
    // byte cannot keep the caller waiting beyond this.
    int m_nTotalMs = 120000;
};

struct CHttpRequest {
    std::wstring m_strMethod = L"POST";
    std::wstring m_strUrl;
    // Extra header lines, each ending with "\r\n".
    std::wstring m_strHeaders;
    std::string m_strBody;
};

struct CHttpResult {
    // ProxyRefused: the proxy answered 407 and took no Windows log-on.
    enum class Kind { Ok, BadAddress, Unreachable, TimedOut, Certificate, Insecure, OtherOrigin, ProxyRefused, Failed };
    Kind m_kind = Kind::Failed;
    DWORD m_dwError = 0;        // the platform's error, when there is one
    DWORD m_dwStatus = 0;       // the HTTP status of the final answer
    std::string m_strBody;      // its bytes
    std::wstring m_strContentType;
    std::wstring m_strLinks;    // every Link header of the answer, comma-joined
    std::wstring m_strLocation; // OtherOrigin: where the server wanted the call to go
    // Certificate: why the server's certificate was refused, when that could
    // be learnt (Accepted when it could not).
    CCertificateVerdict m_certificate = CCertificateVerdict::Accepted;
};

class CHttpClient {
public:
    static constexpr int kMaxRedirects = 5;
    static constexpr std::size_t kMaxAnswerBytes = 32u << 20;
    // Bodies go out in pieces of this size, with the budget checked between them.
    static constexpr std::size_t kSendChunkBytes = 64u << 10;

    // The budget starts now.
    explicit CHttpClient(const CHttpTimeouts& timeouts = CHttpTimeouts());
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    CHttpResult Send(const CHttpRequest& request);
    CHttpResult Post(const std::wstring& url, std::string body, const std::wstring& contentType);

    // Milliseconds left of the budget, 0 once it is spent.
    DWORD RemainingMs() const;

    // While set, every body sent reports its bytes between pieces, and a
    // stop asked through it ends the request there (Kind::Failed).
    void SetUploadProgress(CProgressReport* pProgress) { m_pUploadProgress = pProgress; }

private:
    CHttpResult SendOnce(const std::wstring& method, const std::wstring& url, const std::wstring& headers,
                         const std::string& body, bool& redirected, std::wstring& location, DWORD& status);
    CCertificateVerdict VetServer(const CUrlParts& parts);
    CHttpResult SendBody(HINTERNET hRequest, const std::wstring& headers, const std::string& body);
    bool OpenSession(const std::wstring& url, const CUrlParts& parts);

    CHttpTimeouts m_timeouts;
    ULONGLONG m_nDeadline = 0;
    CInternet m_hSession;
    bool m_bTlsRestricted = false;  // https is refused when TLS could not be held to 1.2+
    CProgressReport* m_pUploadProgress = nullptr;
    bool m_bProxied = false;
    // What this call found of each https server's certificate ("host:port").
    std::map<std::wstring, CCertificateVerdict> m_servers;
};

}  // namespace qtvpublish
