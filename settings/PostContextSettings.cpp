// The settings operations of PostContext: UserPrefs.xml and UserSettings.xml
// in the data folder, written whole through a text-mode stream and read back
// with the element lookup.
#include <cstdio>
#include <cstring>

#include "output/PostContext.h"
#include "settings/CodePage.h"
#include "settings/QTVXmlString.h"
#include "settings/SettingsText.h"
#include "util/FileUtil.h"

namespace {

// Settings files are read through the ANSI code page; searching them must
// know its double-byte characters from the first request on.
const bool g_bAnsiCodePage = (settings::UseAnsiCodePage(), true);

// A file without a byte-order mark is taken as code-page text. False when it
// cannot be read.
bool ReadSettingsFile(const std::string& path, QTVXmlString& text)
{
    std::wstring wide;
    if (!util::ReadTextFile(path, wide))
        return false;
    text = QTVXmlString(wide);
    return true;
}

// Creates the data folder with its parents when needed, then writes the text
// in text mode, so each composed CR LF reaches the disk as CR CR LF. A file
// that cannot be opened is skipped without a word.
void WriteSettingsFile(const std::string& dataFolder, const std::string& path, const std::string& text)
{
    // Without a data folder the path would name the root of the current drive.
    if (dataFolder.empty())
        return;
    if (!util::DirectoryExists(dataFolder))
        util::EnsureDirectory(dataFolder);
    FILE* file = std::fopen(path.c_str(), "wt");
    if (!file)
        return;
    std::fwrite(text.c_str(), 1, std::strlen(text.c_str()), file);
    std::fclose(file);
}

}  // namespace

bool PostContext::ReadPreferences(int& alwaysUse)
{
    if (m_strDataFolder.empty())
        return false;
    const std::string path = settings::SettingsFilePath(m_strDataFolder, settings::kPreferencesFile);
    QTVXmlString text;
    if (!util::FileExists(path) || !ReadSettingsFile(path, text)) {
        alwaysUse = 0;
        return false;
    }
    return settings::ParsePreferences(text, alwaysUse, m_nShowHotspotWarning);
}

bool PostContext::WritePreferences(int alwaysUse)
{
    m_nAlwaysUse = alwaysUse;
    const std::string storedLogin = settings::SettingsFilePath(m_strDataFolder, settings::kStoredLoginFile);
    if (m_nAlwaysUse == 0) {
        if (!m_strDataFolder.empty() && util::FileExists(storedLogin))
            ::DeleteFileA(storedLogin.c_str());
    } else {
        SaveStoredLogin();
    }
    WriteSettingsFile(m_strDataFolder, settings::SettingsFilePath(m_strDataFolder, settings::kPreferencesFile),
                      settings::ComposePreferences(m_nAlwaysUse, m_nShowHotspotWarning));
    return true;
}

bool PostContext::LoadStoredLogin()
{
    if (m_strDataFolder.empty())
        return false;
    const std::string path = settings::SettingsFilePath(m_strDataFolder, settings::kStoredLoginFile);
    QTVXmlString text;
    if (!util::FileExists(path) || !ReadSettingsFile(path, text))
        return false;
    return settings::ParseStoredLogin(text, m_strPassword, m_strUserName, m_strServer, m_strEndpoint);
}

bool PostContext::SaveStoredLogin()
{
    if (m_strPassword.empty() || m_strUserName.empty())
        return false;
    WriteSettingsFile(m_strDataFolder, settings::SettingsFilePath(m_strDataFolder, settings::kStoredLoginFile),
                      settings::ComposeStoredLogin(m_strPassword, m_strUserName, m_strServer, m_strEndpoint));
    return true;
}
