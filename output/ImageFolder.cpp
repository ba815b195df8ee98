#include "output/ImageFolder.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <vector>

#include "platform/UniqueHandle.h"
#include "util/FileUtil.h"
#include "util/WidePath.h"

namespace output {

namespace {

std::wstring PlatformSharedFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    return folder;
}

SharedFolderFn g_pfnSharedFolder = PlatformSharedFolder;

std::wstring CurrentUserSid()
{
    HANDLE hToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return {};
    platform::CHandle token(hToken);
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0)
        return {};
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
        return {};
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return {};
    std::wstring sid(text);
    ::LocalFree(text);
    return sid;
}

// The shared folder is readable by every user, and a capture is the user's
// own: the user's folder in it lets in the user, the system and the
// administrators only, whoever made it first. A folder whose access cannot
// be set so is not used.
bool MakePrivateFolder(const std::wstring& folder, const std::wstring& sid)
{
    if (!util::EnsureDirectory(folder))
        return false;
    const std::wstring sddl = L"D:P(A;OICI;FA;;;" + sid + L")(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &pDescriptor, nullptr))
        return false;
    BOOL bPresent = FALSE, bDefaulted = FALSE;
    PACL pDacl = nullptr;
    bool bPrivate = false;
    if (::GetSecurityDescriptorDacl(pDescriptor, &bPresent, &pDacl, &bDefaulted) && bPresent) {
        std::wstring path = folder;
        bPrivate = ::SetNamedSecurityInfoW(&path[0], SE_FILE_OBJECT,
                                           DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                           nullptr, pDacl, nullptr) == ERROR_SUCCESS;
    }
    ::LocalFree(pDescriptor);
    return bPrivate;
}

std::string SharedImageFolder()
{
    const std::wstring shared = g_pfnSharedFolder();
    const std::wstring sid = CurrentUserSid();
    if (shared.empty() || sid.empty())
        return {};
    // Checked before anything is made: a folder the library cannot be told
    // about is no use.
    const std::wstring folder = util::WithBackslash(shared) + L"Word Press Output\\" + sid + L"\\";
    if (!util::SurvivesAnsi(folder) || !MakePrivateFolder(folder, sid))
        return {};
    return util::AnsiPathOf(folder);
}

}  // namespace

std::string ChooseImageFolder()
{
    const std::wstring temp = util::TempFolder();
    if (!temp.empty()) {
        std::string folder = util::AnsiPathOf(temp);
        if (!folder.empty())
            return folder;
    }
    return SharedImageFolder();
}

SharedFolderFn SetSharedFolderHandler(SharedFolderFn pfn)
{
    const SharedFolderFn previous = g_pfnSharedFolder;
    g_pfnSharedFolder = pfn ? pfn : PlatformSharedFolder;
    return previous;
}

}  // namespace output
