#include "account/BlogOptionsDlg.h"

#include "account/SendableText.h"
#include "res/resource.h"

BlogOptionsDlg::BlogOptionsDlg(HWND hParent) : CDialog(IDD_BLOG_OPTIONS, hParent)
{
    CommandHandler(IDC_OPTIONS_PROMPT, BN_CLICKED, &BlogOptionsDlg::OnChoice);
    CommandHandler(IDC_OPTIONS_ALWAYS_USE, BN_CLICKED, &BlogOptionsDlg::OnChoice);
}

void BlogOptionsDlg::SetInitialValues(const std::string& title, const std::string& userName,
                                      const std::string& password, const std::string& server,
                                      const std::string& endpoint)
{
    m_strTitle = title;
    m_strUserName = userName;
    m_strPassword = password;
    m_strServer = server;
    m_strEndpoint = endpoint;
}

void BlogOptionsDlg::DoDataExchange()
{
    BindControl(IDC_OPTIONS_PASSWORD, m_editPassword);
    BindControl(IDC_OPTIONS_PROMPT, m_radioPrompt);
    BindControl(IDC_OPTIONS_ALWAYS_USE, m_radioAlwaysUse);
    BindControl(IDC_OPTIONS_USER_NAME, m_editUserName);
    BindControl(IDC_OPTIONS_SERVER, m_editServer);
    BindControl(IDC_OPTIONS_ENDPOINT, m_editEndpoint);
    BindControl(IDC_USER_NAME_LABEL, m_labelUserName);
    BindControl(IDC_PASSWORD_LABEL, m_labelPassword);
    BindControl(IDC_SERVER_LABEL, m_labelServer);
    BindControl(IDC_ENDPOINT_LABEL, m_labelEndpoint);
    BindControl(IDOK, m_buttonOk);
    BindControl(IDCANCEL, m_buttonCancel);
    BindControl(IDC_HELP_BUTTON, m_buttonHelp);
    BindControl(IDC_LOGIN_GROUP, m_groupLogin);
}

BOOL BlogOptionsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strTitle);
    if (m_bShowServer) {
        // A stored log-in shows only when it is complete.
        const bool bComplete =
            !m_strUserName.empty() && !m_strPassword.empty() && !m_strServer.empty() && !m_strEndpoint.empty();
        if (bComplete) {
            m_editUserName.SetWindowText(m_strUserName);
            m_editPassword.SetWindowText(m_strPassword);
            m_editServer.SetWindowText(m_strServer);
            m_editEndpoint.SetWindowText(m_strEndpoint);
        }
        Choose(bComplete);
    } else {
        m_nRemovedHeight = RemoveRows({IDC_OPTIONS_PASSWORD,
                                       IDC_OPTIONS_ENDPOINT,
                                       {IDC_OPTIONS_ENDPOINT, IDC_ENDPOINT_LABEL, IDC_OPTIONS_SERVER, IDC_SERVER_LABEL},
                                       IDC_LOGIN_GROUP,
                                       {IDOK, IDCANCEL, IDC_HELP_BUTTON}});
        const bool bComplete = !m_strUserName.empty() && !m_strPassword.empty();
        if (bComplete) {
            m_editUserName.SetWindowText(m_strUserName);
            m_editPassword.SetWindowText(m_strPassword);
        }
        Choose(bComplete);
    }
    // The focus is on the chosen radio button; the dialog manager would move
    // it to the first tab stop.
    return FALSE;
}

void BlogOptionsDlg::Choose(bool bAlwaysUse)
{
    m_radioAlwaysUse.SetCheck(bAlwaysUse ? BST_CHECKED : BST_UNCHECKED);
    m_radioPrompt.SetCheck(bAlwaysUse ? BST_UNCHECKED : BST_CHECKED);
    EnableLoginControls(bAlwaysUse);
    (bAlwaysUse ? m_radioAlwaysUse : m_radioPrompt).SetFocus();
}

void BlogOptionsDlg::EnableLoginControls(bool bEnable)
{
    // The edits keep their text either way: OK reads them all.
    platform::EnableWindows({&m_editUserName, &m_editPassword, &m_editServer, &m_editEndpoint, &m_labelUserName,
                             &m_labelPassword, &m_labelServer, &m_labelEndpoint},
                            bEnable);
}

void BlogOptionsDlg::OnChoice(UINT nId)
{
    EnableLoginControls(nId == IDC_OPTIONS_ALWAYS_USE);
}

void BlogOptionsDlg::OnOK()
{
    // Only a log-in that is kept is sent later; a prompt every time checks
    // its own at the log-in dialog.
    if (m_radioAlwaysUse.IsChecked() &&
        !account::ConfirmSendable(m_hWnd, {m_editUserName, m_editPassword, m_editServer, m_editEndpoint}))
        return;
    m_strUserName = m_editUserName.GetWindowText();
    m_strPassword = m_editPassword.GetWindowText();
    m_strServer = m_editServer.GetWindowText();
    m_strEndpoint = m_editEndpoint.GetWindowText();
    m_bAlwaysUse = m_radioAlwaysUse.IsChecked() ? 1 : 0;
    CDialog::OnOK();
}
