#include "qtvpublish/real/XmlRpcResponseReader.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <cwchar>
#include <vector>

#include "platform/ComPtr.h"

namespace qtvpublish {

namespace {

using Kind = CXmlRpcValue::Kind;

bool TypeOf(const std::wstring& name, Kind& kind)
{
    static const struct {
        const wchar_t* name;
        Kind kind;
    } kTypes[] = {{L"string", Kind::String},   {L"int", Kind::Int},   {L"i4", Kind::Int},
                  {L"i8", Kind::Int},          {L"boolean", Kind::Bool}, {L"double", Kind::Double},
                  {L"dateTime.iso8601", Kind::DateTime}, {L"base64", Kind::Base64}, {L"nil", Kind::Nil},
                  {L"array", Kind::Array},     {L"struct", Kind::Struct}};
    for (const auto& type : kTypes) {
        if (name == type.name) {
            kind = type.kind;
            return true;
        }
    }
    return false;
}

int FaultCodeOf(const CXmlRpcValue& fault)
{
    const std::wstring text = fault.Text(L"faultCode");
    return static_cast<int>(std::wcstol(text.c_str(), nullptr, 10));
}

// The walk over the reader's nodes. Element names are kept as a path; open
// values and struct members each have their own stack.
class CAnswerBuilder {
public:
    bool Start(const std::wstring& name)
    {
        if (m_path.empty() && name != L"methodResponse")
            return false;
        const std::wstring parent = m_path.empty() ? std::wstring() : m_path.back();
        Kind kind;
        if ((name == L"value" || name == L"member") && ++m_nValues > CXmlRpcResponseReader::kMaxValues)
            return false;
        if (name == L"value") {
            m_values.push_back(CFrame());
        } else if (name == L"member") {
            m_members.push_back(CMember());
        } else if (parent == L"value" && !m_values.empty() && TypeOf(name, kind)) {
            CFrame& frame = m_values.back();
            frame.m_value.m_kind = kind;
            frame.m_value.m_strText.clear();
            frame.m_bTyped = true;
        }
        m_path.push_back(name);
        return true;
    }

    void End()
    {
        if (m_path.empty())
            return;
        const std::wstring name = m_path.back();
        m_path.pop_back();
        const std::wstring parent = m_path.empty() ? std::wstring() : m_path.back();
        if (name == L"value" && !m_values.empty()) {
            CXmlRpcValue value = std::move(m_values.back().m_value);
            m_values.pop_back();
            if (parent == L"member" && !m_members.empty()) {
                m_members.back().m_value = std::move(value);
            } else if (parent == L"data" && !m_values.empty() && m_values.back().m_value.m_kind == Kind::Array) {
                m_values.back().m_value.m_items.push_back(std::move(value));
            } else if (parent == L"param" && !m_bResult && !m_bFault) {
                m_answer.m_value = std::move(value);
                m_bResult = true;
            } else if (parent == L"fault") {
                m_answer.m_value = std::move(value);
                m_bFault = true;
            }
        } else if (name == L"member" && !m_members.empty()) {
            CMember member = std::move(m_members.back());
            m_members.pop_back();
            if (!m_values.empty() && m_values.back().m_value.m_kind == Kind::Struct)
                m_values.back().m_value.m_members.emplace_back(std::move(member.m_strName), std::move(member.m_value));
        } else if (name == L"methodResponse") {
            m_bClosed = true;
        }
    }

    void Text(const wchar_t* text, UINT length)
    {
        if (m_path.empty())
            return;
        const std::wstring& here = m_path.back();
        if (here == L"name" && m_path.size() >= 2 && m_path[m_path.size() - 2] == L"member" && !m_members.empty()) {
            m_members.back().m_strName.append(text, length);
            return;
        }
        if (m_values.empty())
            return;
        CFrame& frame = m_values.back();
        const bool direct = here == L"value" && !frame.m_bTyped;
        const bool inType = frame.m_bTyped && frame.m_value.IsScalar() && m_path.size() >= 2 &&
                            m_path[m_path.size() - 2] == L"value";
        if (direct || inType)
            frame.m_value.m_strText.append(text, length);
    }

    CXmlRpcAnswer Finish()
    {
        if (!m_bClosed)
            return CXmlRpcAnswer();
        if (m_bFault) {
            m_answer.m_kind = CXmlRpcAnswer::Kind::Fault;
            m_answer.m_nFaultCode = FaultCodeOf(m_answer.m_value);
            m_answer.m_strFault = m_answer.m_value.Text(L"faultString");
        } else {
            m_answer.m_kind = CXmlRpcAnswer::Kind::Value;
        }
        return std::move(m_answer);
    }

private:
    struct CFrame {
        CXmlRpcValue m_value;
        bool m_bTyped = false;
    };
    struct CMember {
        std::wstring m_strName;
        CXmlRpcValue m_value;
    };

    std::vector<std::wstring> m_path;
    std::vector<CFrame> m_values;
    std::vector<CMember> m_members;
    CXmlRpcAnswer m_answer;
    std::size_t m_nValues = 0;
    bool m_bResult = false;
    bool m_bFault = false;
    bool m_bClosed = false;
};

}  // namespace

CXmlRpcAnswer CXmlRpcResponseReader::Read(const std::string& bytes)
{
    // Some servers put blank lines before the declaration, which XML forbids.
    std::size_t start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r' ||
                                    bytes[start] == '\n'))
        ++start;
    if (bytes.size() - start > 0x7FFFFFFF)
        return CXmlRpcAnswer();

    platform::CComPtr<IStream> stream;
    stream.Attach(::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data() + start),
                                      static_cast<UINT>(bytes.size() - start)));
    platform::CComPtr<IXmlReader> reader;
    if (!stream || FAILED(::CreateXmlReader(__uuidof(IXmlReader), reader.PutVoid(), nullptr)))
        return CXmlRpcAnswer();
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    reader->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxElementDepth);
    if (FAILED(reader->SetInput(stream.Get())))
        return CXmlRpcAnswer();

    CAnswerBuilder builder;
    XmlNodeType type = XmlNodeType_None;
    HRESULT hr;
    // Every node takes at least one byte of the input. Wine's reader, given a
    // document cut off inside an element, reports the same node again and
    // again instead of an error; the bound ends that.
    std::size_t budget = bytes.size() - start + 2;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (budget-- == 0)
            return CXmlRpcAnswer();
        switch (type) {
        case XmlNodeType_Element: {
            const wchar_t* name = nullptr;
            UINT length = 0;
            if (FAILED(reader->GetLocalName(&name, &length)))
                return CXmlRpcAnswer();
            // An empty element reports no end of its own.
            const bool empty = reader->IsEmptyElement() != FALSE;
            if (!builder.Start(std::wstring(name, length)))
                return CXmlRpcAnswer();
            if (empty)
                builder.End();
            break;
        }
        case XmlNodeType_EndElement:
            builder.End();
            break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        case XmlNodeType_Whitespace: {
            const wchar_t* text = nullptr;
            UINT length = 0;
            if (SUCCEEDED(reader->GetValue(&text, &length)))
                builder.Text(text, length);
            break;
        }
        default:
            break;
        }
    }
    if (FAILED(hr))
        return CXmlRpcAnswer();
    return builder.Finish();
}

}  // namespace qtvpublish
