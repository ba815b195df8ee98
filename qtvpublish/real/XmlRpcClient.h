#pragma once
// One XML-RPC call: the request posted to the endpoint, the answer read. The
// outcome says what the caller needs to decide: a value, a fault, or why no
// XML-RPC answer came back.
#include <memory>
#include <string>

#include "qtvpublish/real/HttpClient.h"
#include "qtvpublish/real/XmlRpcRequest.h"
#include "qtvpublish/real/XmlRpcValue.h"

namespace qtvpublish {

struct CCallResult {
    enum class Kind {
        Value, Fault, NotXmlRpc, Unreachable, TimedOut, Certificate, Insecure, OtherOrigin, BadAddress, Failed,
        // The service itself refused the log-in (a fault is read by FaultRules instead).
        LoginRefused,
        // Refused, and the password given is not one of the blog's application passwords.
        NeedsApplicationPassword,
        // The log-in would have gone in clear: the REST API takes it only over https.
        NeedsHttps,
        // The chosen blog's own address, as the list gave it (in m_strLocation),
        // is on another site, or plain http off this machine: nothing was sent there.
        BlogElsewhere,
        BlogInsecure,
        // The hosted service listed no blog: the account's sites answer only at their own address.
        NoHostedBlogs,
        // The proxy asked for a log-in (407) and took no Windows log-on.
        ProxyRefused,
    };
    Kind m_kind = Kind::Failed;
    CXmlRpcValue m_value;
    int m_nFaultCode = 0;
    std::string m_strFault;     // UTF-8
    std::string m_strLocation;  // UTF-8; OtherOrigin: the address the blog pointed at
    DWORD m_dwHttpStatus = 0;
    DWORD m_dwError = 0;
    CCertificateVerdict m_certificate = CCertificateVerdict::Accepted;  // Certificate: its fault, when known
    // The service is blocked: the server answered 403, 404 or 405 without
    // an XML-RPC answer (a host's or a plug-in's block), or WordPress's
    // fault 405 (XML-RPC switched off).
    bool m_bServiceBlocked = false;

    bool IsValue() const { return m_kind == Kind::Value; }
};

CCallResult::Kind CallKindOf(CHttpResult::Kind kind);

class CXmlRpcClient {
public:
    // Calls through the export call's client, within its budget.
    CXmlRpcClient(const std::string& url, CHttpClient& http);
    // A client of its own, with a budget from now.
    explicit CXmlRpcClient(const std::string& url, const CHttpTimeouts& timeouts = CHttpTimeouts());

    CCallResult Call(const CXmlRpcRequest& request) const;
    const std::string& Url() const { return m_strUrl; }

private:
    std::string m_strUrl;
    std::unique_ptr<CHttpClient> m_ownHttp;
    CHttpClient* m_pHttp;
};

}  // namespace qtvpublish
