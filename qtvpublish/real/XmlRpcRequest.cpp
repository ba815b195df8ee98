#include "qtvpublish/real/XmlRpcRequest.h"

namespace qtvpublish {

CXmlRpcRequest::CXmlRpcRequest(const std::string& methodName) : m_strMethod(methodName)
{
}

std::string CXmlRpcRequest::Escape(const std::string& utf8)
{
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    for (const char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        // A bare CR would be read back as a line feed.
        case '\r': out += "&#13;"; break;
        case '\t':
        case '\n': out += ch; break;
        default:
            if (c >= 0x20)
                out += ch;
        }
    }
    return out;
}

void CXmlRpcRequest::BeginValue()
{
    if (m_openStructs.empty())
        m_strParams += "<param>";
    m_strParams += "<value>";
}

void CXmlRpcRequest::EndValue()
{
    m_strParams += "</value>";
    if (m_openStructs.empty()) {
        m_strParams += "</param>";
    } else if (m_openStructs.back()) {
        m_strParams += "</member>";
        m_openStructs.back() = false;
    }
}

CXmlRpcRequest& CXmlRpcRequest::String(const std::string& utf8)
{
    BeginValue();
    m_strParams += "<string>" + Escape(utf8) + "</string>";
    EndValue();
    return *this;
}

CXmlRpcRequest& CXmlRpcRequest::Int(long long value)
{
    BeginValue();
    // i4 is the type every server reads; larger values need i8.
    const bool small = value >= -2147483647LL - 1 && value <= 2147483647LL;
    m_strParams += (small ? "<int>" : "<i8>") + std::to_string(value) + (small ? "</int>" : "</i8>");
    EndValue();
    return *this;
}

CXmlRpcRequest& CXmlRpcRequest::Bool(bool value)
{
    BeginValue();
    m_strParams += value ? "<boolean>1</boolean>" : "<boolean>0</boolean>";
    EndValue();
    return *this;
}

CXmlRpcRequest& CXmlRpcRequest::Base64(const std::string& encoded)
{
    BeginValue();
    m_strParams += "<base64>";
    m_strParams += encoded;
    m_strParams += "</base64>";
    EndValue();
    return *this;
}

CXmlRpcRequest& CXmlRpcRequest::BeginStruct()
{
    BeginValue();
    m_strParams += "<struct>";
    m_openStructs.push_back(false);
    return *this;
}

CXmlRpcRequest& CXmlRpcRequest::Member(const std::string& utf8Name)
{
    if (m_openStructs.empty())
        return *this;
    m_strParams += "<member><name>" + Escape(utf8Name) + "</name>";
    m_openStructs.back() = true;
    return *this;
}

CXmlRpcRequest& CXmlRpcRequest::EndStruct()
{
    if (m_openStructs.empty())
        return *this;
    // A member left without a value still gets one, so the document stays valid.
    if (m_openStructs.back())
        m_strParams += "<value><string></string></value></member>";
    m_openStructs.pop_back();
    m_strParams += "</struct>";
    EndValue();
    return *this;
}

std::string CXmlRpcRequest::Document() const
{
    std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<methodCall><methodName>";
    doc += Escape(m_strMethod);
    doc += "</methodName><params>";
    doc += m_strParams;
    doc += "</params></methodCall>\n";
    return doc;
}

}  // namespace qtvpublish
