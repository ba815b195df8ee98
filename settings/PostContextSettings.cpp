// The settings operations of PostContext: UserPrefs.xml and UserSettings.xml
// in the data folder, each written whole with the bytes of a text-mode stream
// and read back with the element lookup. The stored password is sealed for
// the user (settings/PasswordProtection.h).
#include "output/PostContext.h"
#include "settings/CodePage.h"
#include "settings/PasswordProtectionWin.h"
#include "settings/QTVXmlString.h"
#include "settings/SettingsText.h"
#include "util/FileUtil.h"
#include "util/WidePath.h"

namespace {

// Settings files are read through the ANSI code page; searching them must
// know its double-byte characters from the first request on.
const bool g_bAnsiCodePage = (settings::UseAnsiCodePage(), true);

// A file without a byte-order mark is taken as code-page text. False when it
// cannot be read.
bool ReadSettingsFile(const std::wstring& path, QTVXmlString& text)
{
    std::wstring wide;
    if (!util::ReadTextFile(path, wide))
        return false;
    text = QTVXmlString(wide);
    return true;
}

// Creates the data folder with its parents when needed, then gives the file
// the text's text-mode bytes in one step: a write that fails at any point
// leaves the earlier file whole. False when the file was not written.
bool WriteSettingsFile(const std::wstring& dataFolder, const std::wstring& path, const std::string& text)
{
    // Without a data folder the path would name the root of the current drive.
    if (dataFolder.empty())
        return false;
    if (!util::DirectoryExists(dataFolder))
        util::EnsureDirectory(dataFolder);
    return util::ReplaceFileContents(path, settings::TextModeBytes(text));
}

// An empty user name or password is no log-in to store: the earlier one stays.
bool HasLogin(const PostContext& context)
{
    return !context.m_strPassword.empty() && !context.m_strUserName.empty();
}

}  // namespace

std::wstring PostContext::SettingsFile(const char* fileName) const
{
    // The names are ours and plain ASCII.
    const std::string name(fileName);
    return util::WithBackslash(m_strDataFolder) + std::wstring(name.begin(), name.end());
}

bool PostContext::ReadPreferences(int& alwaysUse)
{
    if (m_strDataFolder.empty())
        return false;
    const std::wstring path = SettingsFile(settings::kPreferencesFile);
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
    const std::wstring storedLogin = SettingsFile(settings::kStoredLoginFile);
    // Each step is tried whatever the one before did; the answer says whether
    // everything asked for reached the disk.
    bool stored = true;
    if (m_nAlwaysUse == 0) {
        if (!m_strDataFolder.empty() && util::FileExists(storedLogin))
            stored = ::DeleteFileW(storedLogin.c_str()) != FALSE;
    } else if (HasLogin(*this)) {
        stored = SaveStoredLogin();
    }
    const bool written =
        WriteSettingsFile(m_strDataFolder, SettingsFile(settings::kPreferencesFile),
                          settings::ComposePreferences(m_nAlwaysUse, m_nShowHotspotWarning));
    return stored && written;
}

bool PostContext::LoadStoredLogin()
{
    if (m_strDataFolder.empty())
        return false;
    const std::wstring path = SettingsFile(settings::kStoredLoginFile);
    QTVXmlString text;
    if (!util::FileExists(path) || !ReadSettingsFile(path, text))
        return false;
    std::string storedText;
    if (!settings::ParseStoredLoginText(text, storedText, m_strUserName, m_strServer, m_strEndpoint))
        return false;
    // A password sealed for another user or machine is no stored log-in: the
    // user is asked again rather than handed something garbled.
    const settings::StoredPassword form =
        settings::OpenStoredPassword(storedText, settings::CurrentProtector(), m_strPassword);
    if (form == settings::StoredPassword::Unusable) {
        m_strUserName.clear();
        m_strServer.clear();
        m_strEndpoint.clear();
        return false;
    }
    // The earlier version's scramble is reversible by anyone who reads the
    // file: it is sealed now rather than at a save that a user with "Always
    // use" never makes. The file is replaced whole, so a failed write leaves
    // the earlier one, which still reads.
    if (form == settings::StoredPassword::Scrambled)
        SaveStoredLogin();
    return true;
}

bool PostContext::SaveStoredLogin()
{
    if (!HasLogin(*this))
        return false;
    // A password that cannot be sealed is not stored at all.
    const std::string storedText = settings::ProtectStoredPassword(m_strPassword, settings::CurrentProtector());
    if (storedText.empty())
        return false;
    return WriteSettingsFile(
        m_strDataFolder, SettingsFile(settings::kStoredLoginFile),
        settings::ComposeStoredLoginText(storedText, m_strUserName, m_strServer, m_strEndpoint));
}
