#include "publish/DebugDump.h"

#include <aclapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Text.h"
#include "settings/SettingsText.h"

namespace publish {

namespace {

struct CLocalFree {
    void operator()(void* p) const { ::LocalFree(p); }
};

bool IsCurrentUser(PSID pSid)
{
    platform::CHandle hToken;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, hToken.Put()))
        return false;
    DWORD cb = 0;
    ::GetTokenInformation(hToken.Get(), TokenUser, nullptr, 0, &cb);
    if (cb == 0)
        return false;
    std::vector<BYTE> buffer(cb);
    if (!::GetTokenInformation(hToken.Get(), TokenUser, buffer.data(), cb, &cb))
        return false;
    return ::EqualSid(pSid, reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid) != FALSE;
}

bool IsAdministrators(PSID pSid)
{
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD cb = sizeof sid;
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &cb))
        return false;
    return ::EqualSid(pSid, sid) != FALSE;
}

bool IsPlain(HANDLE h, bool bDirectory)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info))
        return false;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return false;
    if (bDirectory)
        return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A second name of a file elsewhere would be overwritten through it.
    return !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && info.nNumberOfLinks <= 1;
}

}  // namespace

bool IsOwnedByUserOrAdministrators(HANDLE hObject)
{
    PSID pOwner = nullptr;
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    if (::GetSecurityInfo(hObject, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &pOwner, nullptr, nullptr, nullptr,
                          &pDescriptor) != ERROR_SUCCESS)
        return false;
    const std::unique_ptr<void, CLocalFree> descriptor(pDescriptor);
    return pOwner && ::IsValidSid(pOwner) && (IsCurrentUser(pOwner) || IsAdministrators(pOwner));
}

CDebugDumpFolder::CDebugDumpFolder(const std::string& path) : m_strPath(platform::WideFromAnsi(path))
{
    // The link itself is opened, never what it points to.
    platform::CFileHandle hFolder(::CreateFileW(m_strPath.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (hFolder && IsPlain(hFolder.Get(), true) && IsOwnedByUserOrAdministrators(hFolder.Get()))
        m_hFolder = std::move(hFolder);
}

bool CDebugDumpFolder::Write(const char* name, const std::string& text) const
{
    if (!m_hFolder)
        return false;
    const std::wstring path = m_strPath + L"\\" + platform::WideFromAnsi(name);
    platform::CFileHandle hFile(::CreateFileW(path.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr,
                                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                              nullptr));
    if (!hFile || !IsPlain(hFile.Get(), false))
        return false;
    // Written as the C runtime's text mode writes, as the dump always was.
    const std::string bytes = settings::TextModeBytes(text);
    if (!::SetEndOfFile(hFile.Get()))
        return false;
    for (std::size_t written = 0; written < bytes.size();) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 20));
        DWORD done = 0;
        if (!::WriteFile(hFile.Get(), bytes.data() + written, piece, &done, nullptr) || done == 0)
            return false;
        written += done;
    }
    return true;
}

}  // namespace publish
