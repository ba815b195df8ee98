#include "qtvpublish/real/Base64.h"

#include <windows.h>
#include <wincrypt.h>

namespace qtvpublish {

bool EncodeBase64(const std::string& bytes, std::string& encoded)
{
    encoded.clear();
    if (bytes.empty())
        return true;
    if (bytes.size() > 0x5FFFFFFF)
        return false;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    const BYTE* data = reinterpret_cast<const BYTE*>(bytes.data());
    DWORD length = 0;
    if (!::CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, nullptr, &length) || length == 0)
        return false;
    encoded.assign(length, '\0');
    if (!::CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, &encoded[0], &length))
        return false;
    // The count comes back without the NUL the first call included.
    encoded.resize(length);
    while (!encoded.empty() && (encoded.back() == '\0' || encoded.back() == '\r' || encoded.back() == '\n'))
        encoded.pop_back();
    return true;
}

}  // namespace qtvpublish
