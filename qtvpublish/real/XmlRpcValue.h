#pragma once
// One value of an XML-RPC answer. Scalars keep their text as the server wrote
// it; arrays and structs hold their children in document order.
#include <string>
#include <utility>
#include <vector>

namespace qtvpublish {

struct CXmlRpcValue {
    enum class Kind { String, Int, Bool, Double, DateTime, Base64, Nil, Array, Struct };

    Kind m_kind = Kind::String;
    std::wstring m_strText;
    std::vector<CXmlRpcValue> m_items;
    std::vector<std::pair<std::wstring, CXmlRpcValue>> m_members;

    // The member's value, or null when the struct has none of that name.
    const CXmlRpcValue* Find(const std::wstring& name) const
    {
        for (const auto& member : m_members)
            if (member.first == name)
                return &member.second;
        return nullptr;
    }
    // The member's text, empty when absent.
    std::wstring Text(const std::wstring& name) const
    {
        const CXmlRpcValue* value = Find(name);
        return value ? value->m_strText : std::wstring();
    }
    bool IsScalar() const { return m_kind != Kind::Array && m_kind != Kind::Struct; }
};

}  // namespace qtvpublish
