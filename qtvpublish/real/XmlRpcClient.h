#pragma once
// One XML-RPC call: the request posted to the endpoint, the answer read. The
// outcome says what the caller needs to decide: a value, a fault, or why no
// XML-RPC answer came back.
#include <string>

#include "qtvpublish/real/HttpClient.h"
#include "qtvpublish/real/XmlRpcRequest.h"
#include "qtvpublish/real/XmlRpcValue.h"

namespace qtvpublish {

struct CCallResult {
    enum class Kind { Value, Fault, NotXmlRpc, Unreachable, TimedOut, Certificate, Insecure, BadAddress, Failed };
    Kind m_kind = Kind::Failed;
    CXmlRpcValue m_value;
    int m_nFaultCode = 0;
    std::string m_strFault;  // UTF-8
    DWORD m_dwHttpStatus = 0;
    DWORD m_dwError = 0;

    bool IsValue() const { return m_kind == Kind::Value; }
};

class CXmlRpcClient {
public:
    CXmlRpcClient(const std::string& url, const CHttpTimeouts& timeouts = CHttpTimeouts());

    CCallResult Call(const CXmlRpcRequest& request) const;
    const std::string& Url() const { return m_strUrl; }

private:
    std::string m_strUrl;
    CHttpClient m_http;
};

}  // namespace qtvpublish
