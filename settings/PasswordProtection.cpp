#include "settings/PasswordProtection.h"

#include <cstring>

#include "settings/PasswordScrambler.h"
#include "util/HexText.h"

namespace settings {

namespace {

bool FromHex(const std::string& text, std::size_t from, std::string& bytes)
{
    if ((text.size() - from) % 2 != 0)
        return false;
    bytes.clear();
    bytes.reserve((text.size() - from) / 2);
    for (std::size_t i = from; i < text.size(); i += 2) {
        const int high = util::HexDigitValue(text[i]);
        const int low = util::HexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high << 4 | low);
    }
    return true;
}

}  // namespace

std::string ProtectStoredPassword(const std::string& password, IPasswordProtector& protector)
{
    std::string sealed;
    if (!protector.Protect(password, sealed) || sealed.empty())
        return {};
    std::string stored = kProtectedMarker;
    stored.reserve(stored.size() + 2 * sealed.size());
    for (char c : sealed)
        util::AppendHexByte(stored, static_cast<unsigned char>(c));
    return stored;
}

StoredPassword OpenStoredPassword(const std::string& storedText, IPasswordProtector& protector,
                                  std::string& password)
{
    const std::size_t markerLength = std::strlen(kProtectedMarker);
    if (storedText.compare(0, markerLength, kProtectedMarker) != 0) {
        password = UnscramblePassword(storedText);
        return StoredPassword::Scrambled;
    }
    std::string sealed;
    std::string plain;
    if (!FromHex(storedText, markerLength, sealed) || sealed.empty() || !protector.Unprotect(sealed, plain) ||
        plain.empty() || plain.find('\0') != std::string::npos) {
        password.clear();
        return StoredPassword::Unusable;
    }
    password.swap(plain);
    return StoredPassword::Opened;
}

}  // namespace settings
