#include "settings/PasswordScrambler.h"

#include "util/HexText.h"

namespace settings {

std::string ScramblePassword(const std::string& password)
{
    std::string stored;
    stored.reserve(password.size());
    for (char c : password) {
        const unsigned char s = static_cast<unsigned char>(c) ^ kPasswordKey;
        if (s >= 0x20 && s <= 0x7E && s != static_cast<unsigned char>(kPasswordEscape)) {
            stored += static_cast<char>(s);
        } else {
            stored += kPasswordEscape;
            util::AppendHexByte(stored, s);
        }
    }
    return stored;
}

std::string UnscramblePassword(const std::string& stored)
{
    std::string password;
    password.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size();) {
        unsigned char s = static_cast<unsigned char>(stored[i]);
        int high = -1;
        int low = -1;
        if (stored[i] == kPasswordEscape && i + 2 < stored.size()) {
            high = util::HexDigitValue(stored[i + 1]);
            low = util::HexDigitValue(stored[i + 2]);
        }
        if (high >= 0 && low >= 0) {
            s = static_cast<unsigned char>(high << 4 | low);
            i += 3;
        } else {
            ++i;
        }
        const unsigned char p = s ^ kPasswordKey;
        if (p != 0)
            password += static_cast<char>(p);
    }
    return password;
}

}  // namespace settings
