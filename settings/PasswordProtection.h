#pragma once
// The stored password's StoredText. The current form is the password sealed
// by the platform for this user (behind IPasswordProtector, so this file
// stays platform-free), written as a marker and upper-case hex digits. The
// earlier version's form is the exclusive-or scramble of PasswordScrambler;
// it still reads, and the stored log-in is sealed again the first time it
// is read (PostContext::LoadStoredLogin).
//
// The marker starts with the scrambler's escape character followed by a
// character that is no hex digit, which no scrambled text holds.
#include <string>

namespace settings {

constexpr const char kProtectedMarker[] = "`!P1:";

class IPasswordProtector {
public:
    // Bytes in, bytes out; false when the platform cannot do it.
    virtual bool Protect(const std::string& plain, std::string& sealed) = 0;
    virtual bool Unprotect(const std::string& sealed, std::string& plain) = 0;

protected:
    ~IPasswordProtector() = default;
};

// The StoredText for a password; empty when it cannot be sealed, so that
// nothing weaker is ever written in its place.
std::string ProtectStoredPassword(const std::string& password, IPasswordProtector& protector);

enum class StoredPassword {
    Opened,     // the sealed form, opened
    Scrambled,  // the earlier version's form, read back
    Unusable,   // sealed for another user or machine, or damaged
};

// Reads a StoredText. Unusable leaves the password empty: nothing garbled is
// ever handed on as a password.
StoredPassword OpenStoredPassword(const std::string& storedText, IPasswordProtector& protector,
                                  std::string& password);

}  // namespace settings
