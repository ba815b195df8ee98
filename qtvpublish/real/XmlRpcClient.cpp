#include "qtvpublish/real/XmlRpcClient.h"

#include "qtvpublish/real/FaultRules.h"
#include "qtvpublish/real/Utf8.h"
#include "qtvpublish/real/XmlRpcResponseReader.h"

namespace qtvpublish {

CCallResult::Kind CallKindOf(CHttpResult::Kind kind)
{
    switch (kind) {
    case CHttpResult::Kind::BadAddress: return CCallResult::Kind::BadAddress;
    case CHttpResult::Kind::Unreachable: return CCallResult::Kind::Unreachable;
    case CHttpResult::Kind::TimedOut: return CCallResult::Kind::TimedOut;
    case CHttpResult::Kind::Certificate: return CCallResult::Kind::Certificate;
    case CHttpResult::Kind::Insecure: return CCallResult::Kind::Insecure;
    case CHttpResult::Kind::OtherOrigin: return CCallResult::Kind::OtherOrigin;
    case CHttpResult::Kind::ProxyRefused: return CCallResult::Kind::ProxyRefused;
    default: return CCallResult::Kind::Failed;
    }
}

CXmlRpcClient::CXmlRpcClient(const std::string& url, CHttpClient& http) : m_strUrl(url), m_pHttp(&http)
{
}

CXmlRpcClient::CXmlRpcClient(const std::string& url, const CHttpTimeouts& timeouts)
    : m_strUrl(url), m_ownHttp(std::make_unique<CHttpClient>(timeouts)), m_pHttp(m_ownHttp.get())
{
}

CCallResult CXmlRpcClient::Call(const CXmlRpcRequest& request) const
{
    CCallResult result;
    const CHttpResult http = m_pHttp->Post(WideFromUtf8(m_strUrl), request.Document(), L"text/xml; charset=utf-8");
    result.m_dwHttpStatus = http.m_dwStatus;
    result.m_dwError = http.m_dwError;
    result.m_certificate = http.m_certificate;
    result.m_strLocation = Utf8FromWide(http.m_strLocation);
    if (http.m_kind != CHttpResult::Kind::Ok) {
        result.m_kind = CallKindOf(http.m_kind);
        return result;
    }
    // A well-formed answer counts whatever the status; some servers send
    // their faults with 500.
    CXmlRpcAnswer answer = CXmlRpcResponseReader::Read(http.m_strBody);
    switch (answer.m_kind) {
    case CXmlRpcAnswer::Kind::Value:
        result.m_kind = CCallResult::Kind::Value;
        result.m_value = std::move(answer.m_value);
        break;
    case CXmlRpcAnswer::Kind::Fault:
        result.m_kind = CCallResult::Kind::Fault;
        result.m_nFaultCode = answer.m_nFaultCode;
        result.m_strFault = Utf8FromWide(answer.m_strFault);
        result.m_bServiceBlocked = IsXmlRpcDisabled(answer.m_nFaultCode);
        break;
    case CXmlRpcAnswer::Kind::NotXmlRpc:
        result.m_kind = CCallResult::Kind::NotXmlRpc;
        // What hosts and security plug-ins answer when they block the
        // service. A page served with 200 is more likely a wrong address.
        result.m_bServiceBlocked = http.m_dwStatus == 403 || http.m_dwStatus == 404 || http.m_dwStatus == 405;
        break;
    }
    return result;
}

}  // namespace qtvpublish
