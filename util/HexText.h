#pragma once
// Two hex digits a byte, the one way every stored or escaped byte of ours is
// written and read (sealed passwords, the earlier scrambled form, RTF's \'hh).
#include <string>

namespace util {

enum class HexCase { Upper, Lower };

inline void AppendHexByte(std::string& out, unsigned char byte, HexCase letters = HexCase::Upper)
{
    const char* digits = letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

// The digit's value, either case; -1 for anything else.
inline int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace util
