#pragma once
// Writes one XML-RPC methodCall document, value by value, as UTF-8 text.
// Top-level values become the call's params; inside a struct each value
// follows its Member name. Strings are UTF-8 and escaped here.
#include <string>
#include <vector>

namespace qtvpublish {

class CXmlRpcRequest {
public:
    explicit CXmlRpcRequest(const std::string& methodName);

    CXmlRpcRequest& String(const std::string& utf8);
    CXmlRpcRequest& Int(long long value);
    CXmlRpcRequest& Bool(bool value);
    // Text that already is base64; it is copied as it is.
    CXmlRpcRequest& Base64(const std::string& encoded);
    CXmlRpcRequest& BeginStruct();
    // The next value belongs to this member.
    CXmlRpcRequest& Member(const std::string& utf8Name);
    CXmlRpcRequest& EndStruct();

    // The whole document; every struct begun must have been ended.
    std::string Document() const;
    const std::string& MethodName() const { return m_strMethod; }

    // Character data for UTF-8 text: markup characters become references and
    // control characters that XML 1.0 cannot carry are dropped.
    static std::string Escape(const std::string& utf8);

private:
    void BeginValue();
    void EndValue();

    std::string m_strMethod;
    std::string m_strParams;
    // One entry per open struct; true while a member waits for its value.
    std::vector<bool> m_openStructs;
};

}  // namespace qtvpublish
