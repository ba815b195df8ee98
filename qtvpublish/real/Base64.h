#pragma once
// Base64 through the platform's encoder, on one line as XML-RPC carries it.
#include <string>

namespace qtvpublish {

// False when the platform could not encode (out of memory, too large).
bool EncodeBase64(const std::string& bytes, std::string& encoded);

}  // namespace qtvpublish
