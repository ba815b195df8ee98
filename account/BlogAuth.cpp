#include "account/BlogAuth.h"

#include "account/SendableText.h"
#include "res/resource.h"

BlogAuth::BlogAuth(HWND hParent) : CDialog(IDD_BLOG_AUTH, hParent) {}

void BlogAuth::DoDataExchange()
{
    BindControl(IDC_AUTH_PASSWORD, m_editPassword);
    BindControl(IDC_AUTH_USER_NAME, m_editUserName);
    BindControl(IDC_AUTH_SERVER, m_editServer);
    BindControl(IDC_AUTH_ENDPOINT, m_editEndpoint);
    BindControl(IDC_LOGIN_GROUP, m_groupLogin);
    BindControl(IDOK, m_buttonOk);
    BindControl(IDCANCEL, m_buttonCancel);
    BindControl(IDC_AUTH_ALWAYS_USE, m_checkAlwaysUse);
    BindControl(IDC_USER_NAME_LABEL, m_labelUserName);
    BindControl(IDC_PASSWORD_LABEL, m_labelPassword);
    BindControl(IDC_SERVER_LABEL, m_labelServer);
    BindControl(IDC_ENDPOINT_LABEL, m_labelEndpoint);
}

BOOL BlogAuth::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_strTitle);
    if (!m_bShowServer) {
        m_nRemovedHeight = RemoveRows({IDC_AUTH_PASSWORD,
                                       IDC_AUTH_ENDPOINT,
                                       {IDC_AUTH_ENDPOINT, IDC_ENDPOINT_LABEL, IDC_AUTH_SERVER, IDC_SERVER_LABEL},
                                       IDC_LOGIN_GROUP,
                                       {IDC_AUTH_ALWAYS_USE, IDOK, IDCANCEL}});
    }
    // The dialog manager focuses the user name, the first tab stop.
    return TRUE;
}

void BlogAuth::OnOK()
{
    if (!account::ConfirmSendable(m_hWnd, {m_editUserName, m_editPassword, m_editServer, m_editEndpoint}))
        return;
    m_strUserName = m_editUserName.GetWindowText();
    m_strPassword = m_editPassword.GetWindowText();
    if (m_bShowServer) {
        m_strServer = m_editServer.GetWindowText();
        m_strEndpoint = m_editEndpoint.GetWindowText();
    }
    m_bAlwaysUse = m_checkAlwaysUse.IsChecked() ? 1 : 0;
    CDialog::OnOK();
}
