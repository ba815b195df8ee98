#pragma once
// The recording stand-in never writes a password into its log: it writes this
// fingerprint instead, so a test can still tell which password arrived (it
// computes the same from the one it typed) while the log, left behind in a
// temporary folder, gives the password away to nobody who reads it.
// Not a password hash for storage: it only keeps clear text out of the log.
#include <cstdint>
#include <string>

#include "util/HexText.h"

namespace qtvpublish {

inline std::string PasswordFingerprint(const std::string& password)
{
    if (password.empty())
        return std::string();  // "no password" is worth seeing as such
    // FNV-1a, 64 bits, over a key of ours and the password.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : std::string("stand-in log\x1f") + password) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    std::string text = "masked:";
    for (int shift = 56; shift >= 0; shift -= 8)
        util::AppendHexByte(text, static_cast<unsigned char>(hash >> shift), util::HexCase::Lower);
    return text;
}

}  // namespace qtvpublish
