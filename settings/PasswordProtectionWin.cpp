// The stored password sealed with the user's Windows credentials: readable
// only by the same user on the same machine (or a roaming profile of theirs).
#include <windows.h>
#include <wincrypt.h>

#include "settings/PasswordProtectionWin.h"

namespace settings {

namespace {

// Ours alone: another program of the same user that unseals blobs without it
// cannot read the password.
const char kEntropy[] = "Word Press Output: stored log-in";

// A view of the bytes, which must outlive the blob; the platform only reads it.
DATA_BLOB Blob(const char* bytes, std::size_t size)
{
    DATA_BLOB blob;
    blob.cbData = static_cast<DWORD>(size);
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes));
    return blob;
}

// Takes the platform's output buffer, zeroed before it is freed.
bool TakeBlob(DATA_BLOB& out, std::string& bytes)
{
    bytes.assign(reinterpret_cast<const char*>(out.pbData), out.cbData);
    ::SecureZeroMemory(out.pbData, out.cbData);
    ::LocalFree(out.pbData);
    return true;
}

}  // namespace

bool CDpapiProtector::Protect(const std::string& plain, std::string& sealed)
{
    DATA_BLOB in = Blob(plain.data(), plain.size());
    DATA_BLOB entropy = Blob(kEntropy, sizeof kEntropy - 1);
    DATA_BLOB out{};
    return ::CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out) &&
           TakeBlob(out, sealed);
}

bool CDpapiProtector::Unprotect(const std::string& sealed, std::string& plain)
{
    DATA_BLOB in = Blob(sealed.data(), sealed.size());
    DATA_BLOB entropy = Blob(kEntropy, sizeof kEntropy - 1);
    DATA_BLOB out{};
    return ::CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out) &&
           TakeBlob(out, plain);
}

namespace {
CDpapiProtector g_userProtector;
IPasswordProtector* g_pProtector = nullptr;
}  // namespace

IPasswordProtector& CurrentProtector()
{
    return g_pProtector ? *g_pProtector : g_userProtector;
}

IPasswordProtector* SetProtector(IPasswordProtector* protector)
{
    IPasswordProtector* previous = g_pProtector;
    g_pProtector = protector;
    return previous;
}

}  // namespace settings
