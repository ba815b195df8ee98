#pragma once
// The Windows side of the stored password's protection (Windows shell only).
#include "settings/PasswordProtection.h"

namespace settings {

// CryptProtectData in the user's scope, never with a prompt, with an entropy
// value of ours.
class CDpapiProtector final : public IPasswordProtector {
public:
    bool Protect(const std::string& plain, std::string& sealed) override;
    bool Unprotect(const std::string& sealed, std::string& plain) override;
};

// What the settings files use: the user's protector unless a test put
// another in its place (SetProtector; null restores it). Returns the previous one.
IPasswordProtector& CurrentProtector();
IPasswordProtector* SetProtector(IPasswordProtector* protector);

}  // namespace settings
