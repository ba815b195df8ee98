#include "output/PostContext.h"

#include "account/BlogAuth.h"
#include "account/BlogType.h"
#include "account/LoginTitle.h"
#include "editor/BlogOutputDlg.h"
#include "platform/ActivationContext.h"
#include "platform/Module.h"
#include "res/resource.h"
#include "settings/SettingsText.h"
#include "util/FileUtil.h"
#include "util/WidePath.h"

void PostContext::SetLoginTitle()
{
    if (account::BlogTypeLabelId(m_nBlogType) != 0)
        m_strLoginTitle = account::LoginTitle(m_nBlogType);
}

std::string PostContext::LibraryPath() const
{
    return util::AnsiPathOf(util::WithBackslash(m_strAccessoryFolder) + L"QTVPublish.dll");
}

std::string PostContext::HelpPath() const
{
    return util::AnsiPathOf(util::WithBackslash(m_strAccessoryFolder) + L"WordPressOutput.chm");
}

bool PostContext::Run()
{
    if (m_strImagePath.empty() || m_strAccessoryFolder.empty())
        return false;
    int nAlwaysUse = 0;
    if (ReadPreferences(nAlwaysUse) && nAlwaysUse == 1) {
        m_nAlwaysUse = 1;
        // A stored log-in that is there but cannot be opened (sealed by
        // another user or machine) is asked for again; a missing one leaves
        // the log-in empty, which the editor step reports.
        const bool bStored =
            util::FileExists(SettingsFile(settings::kStoredLoginFile));
        if (!LoadStoredLogin() && bStored && !RunLogin())
            return false;
    } else if (!RunLogin()) {
        return false;
    }
    m_strBlogAddress = RunEditor();
    return !m_strBlogAddress.empty();
}

bool PostContext::RunLogin()
{
    BlogAuth dlg(m_hParentWindow);
    dlg.SetTitle(m_strLoginTitle);
    dlg.SetShowServerFields(account::UsesServerFields(m_nBlogType));
    if (dlg.DoModal() != IDOK)
        return false;
    m_strPassword = dlg.m_strPassword;
    m_strUserName = dlg.m_strUserName;
    m_strServer = dlg.m_strServer;
    m_strEndpoint = dlg.m_strEndpoint;
    WritePreferences(dlg.m_bAlwaysUse);
    return true;
}

std::string PostContext::RunEditor(bool bMayAskAgain, const CEntryDraft* pDraft)
{
    if (m_strUserName.empty() || m_strPassword.empty()) {
        platform::ShowMessageBox(m_hParentWindow, platform::CModule::LoadString(IDS_INVALID_LOGIN).c_str(),
                      platform::CModule::LoadString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    CBlogOutputDlg dlg(m_hParentWindow, m_hSmallIcon.Get());
    dlg.SetSendParameters(m_nBlogType, m_strUserName, m_strPassword, m_strServer, m_strEndpoint, m_strImagePath,
                          LibraryPath(), m_strHelpPath);
    if (pDraft)
        dlg.m_draft = *pDraft;
    if (dlg.DoModal() == IDOK)
        return dlg.m_strBlogAddress;
    if (dlg.m_bUseDifferentAccount && bMayAskAgain && RunLogin())
        m_strBlogAddress = RunEditor(false, &dlg.m_draft);
    return m_strBlogAddress;
}
