#pragma once
// HTTP and HTTPS POSTs over WinHTTP: certificates checked, the system proxy
// honoured (never for loopback), redirects followed with the POST kept but
// never from HTTPS down to HTTP, and every wait bounded.
#include <windows.h>

#include <cstddef>
#include <string>

namespace qtvpublish {

struct CHttpTimeouts {
    int m_nResolveMs = 15000;
    int m_nConnectMs = 15000;
    int m_nSendMs = 30000;
    int m_nReceiveMs = 30000;
    // The whole exchange, redirects included: a server that trickles its
    // answer byte by byte cannot keep the caller waiting beyond this.
    int m_nTotalMs = 120000;
};

struct CHttpResult {
    enum class Kind { Ok, BadAddress, Unreachable, TimedOut, Certificate, Insecure, Failed };
    Kind m_kind = Kind::Failed;
    DWORD m_dwError = 0;    // the platform's error, when there is one
    DWORD m_dwStatus = 0;   // the HTTP status of the final answer
    std::string m_strBody;  // its bytes
};

class CHttpClient {
public:
    static constexpr int kMaxRedirects = 5;
    static constexpr std::size_t kMaxAnswerBytes = 32u << 20;

    explicit CHttpClient(const CHttpTimeouts& timeouts = CHttpTimeouts()) : m_timeouts(timeouts) {}

    CHttpResult Post(const std::wstring& url, const std::string& body, const std::wstring& contentType) const;

private:
    CHttpTimeouts m_timeouts;
};

}  // namespace qtvpublish
