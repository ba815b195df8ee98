#include "qtvpublish/real/LibrarySettings.h"

#include <windows.h>

#include <vector>

#include "qtvpublish/real/EndpointAddress.h"

namespace qtvpublish {

std::string CLibrarySettings::ModuleFolder()
{
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&CLibrarySettings::ModuleFolder), &self);
    std::vector<char> path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(self, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::string();
        if (n < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::string folder = path.data();
    const std::size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

CLibrarySettings::CLibrarySettings() : CLibrarySettings(ModuleFolder() + kSettingsFileName)
{
}

CLibrarySettings::CLibrarySettings(const std::string& iniPath)
{
    char url[2048] = {};
    ::GetPrivateProfileStringA("WordPress", "XmlRpcUrl", "", url, sizeof url, iniPath.c_str());
    m_strWordPressUrl = url;
    const std::size_t first = m_strWordPressUrl.find_first_not_of(" \t");
    m_strWordPressUrl = first == std::string::npos ? std::string() : m_strWordPressUrl.substr(first);
    while (!m_strWordPressUrl.empty() && (m_strWordPressUrl.back() == ' ' || m_strWordPressUrl.back() == '\t'))
        m_strWordPressUrl.pop_back();
    m_strWordPressUrl = m_strWordPressUrl.empty() ? std::string(kHostedXmlRpcUrl) : JoinEndpoint(m_strWordPressUrl, "");
    // Only ever shortened: the ceiling protects the host's thread.
    const int seconds = static_cast<int>(::GetPrivateProfileIntA("Limits", "CallSeconds", kMaxCallSeconds, iniPath.c_str()));
    m_nCallSeconds = seconds >= 1 && seconds <= kMaxCallSeconds ? seconds : kMaxCallSeconds;
}

}  // namespace qtvpublish
