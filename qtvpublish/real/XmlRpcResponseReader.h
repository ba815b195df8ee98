#pragma once
// Reads an XML-RPC methodResponse with the platform's XML reader (XmlLite).
// One forward pass, values built on an explicit stack; anything that is not a
// well-formed methodResponse (a web page, a PHP notice, a cut-off answer)
// comes back as NotXmlRpc.
#include <cstddef>
#include <string>

#include "qtvpublish/real/XmlRpcValue.h"

namespace qtvpublish {

struct CXmlRpcAnswer {
    enum class Kind { Value, Fault, NotXmlRpc };
    Kind m_kind = Kind::NotXmlRpc;
    // The first param's value, or the fault's struct.
    CXmlRpcValue m_value;
    int m_nFaultCode = 0;
    std::wstring m_strFault;
};

class CXmlRpcResponseReader {
public:
    // Deeper answers are refused rather than followed.
    static constexpr int kMaxElementDepth = 200;
    // Values and struct members built at most: each costs a hundred bytes or
    // more whatever its text, so an answer of empty values would otherwise
    // take memory many times its size. A blog list or a post is a few
    // hundred; more is refused as not an answer.
    static constexpr std::size_t kMaxValues = 100000;

    static CXmlRpcAnswer Read(const std::string& bytes);
};

}  // namespace qtvpublish
