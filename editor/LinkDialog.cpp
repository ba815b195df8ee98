#include "editor/LinkDialog.h"

#include "res/resource.h"

CLinkDialog::CLinkDialog(HWND hParent) : CDialog(IDD_LINK, hParent)
{
    CommandHandler(IDC_LINK_URL, BN_CLICKED, &CLinkDialog::OnLinkType);
    CommandHandler(IDC_LINK_EMAIL, BN_CLICKED, &CLinkDialog::OnLinkType);
}

void CLinkDialog::DoDataExchange()
{
    BindControl(IDC_LINK_TYPE_GROUP, m_groupType);
    BindControl(IDC_LINK_URL, m_radioUrl);
    BindControl(IDC_LINK_URL_TEXT_LABEL, m_labelUrlText);
    BindControl(IDC_LINK_URL_TEXT, m_editUrlText);
    BindControl(IDC_LINK_URL_ADDRESS_LABEL, m_labelUrlAddress);
    BindControl(IDC_LINK_URL_ADDRESS, m_editUrlAddress);
    BindControl(IDC_LINK_EMAIL, m_radioEmail);
    BindControl(IDC_LINK_EMAIL_TEXT_LABEL, m_labelEmailText);
    BindControl(IDC_LINK_EMAIL_TEXT, m_editEmailText);
    BindControl(IDC_LINK_EMAIL_ADDRESS_LABEL, m_labelEmailAddress);
    BindControl(IDC_LINK_EMAIL_ADDRESS, m_editEmailAddress);
    BindControl(IDC_LINK_SUBJECT_LABEL, m_labelSubject);
    BindControl(IDC_LINK_SUBJECT, m_editSubject);
    BindControl(IDOK, m_buttonOk);
    BindControl(IDCANCEL, m_buttonCancel);
    BindControl(IDC_HELP_BUTTON, m_buttonHelp);
}

BOOL CLinkDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bIsUrl = true;
    platform::EnableWindows({&m_labelEmailText, &m_labelEmailAddress, &m_labelSubject, &m_editEmailText,
                             &m_editEmailAddress, &m_editSubject},
                            false);
    m_radioUrl.SetCheck(BST_CHECKED);
    m_editUrlAddress.SetWindowText(m_strUrl);
    // Both display-text fields start with the proposed text; after that
    // they are separate.
    if (!m_strText.empty()) {
        m_editUrlText.SetWindowText(m_strText);
        m_editEmailText.SetWindowText(m_strText);
        GotoDlgCtrl(m_editUrlAddress);
    } else {
        GotoDlgCtrl(m_editUrlText);
    }
    return FALSE;
}

void CLinkDialog::OnLinkType(UINT nId)
{
    const bool bUrl = nId == IDC_LINK_URL;
    platform::EnableWindows({&m_labelUrlText, &m_labelUrlAddress, &m_editUrlText, &m_editUrlAddress}, bUrl);
    platform::EnableWindows({&m_labelEmailText, &m_labelEmailAddress, &m_labelSubject, &m_editEmailText,
                             &m_editEmailAddress, &m_editSubject},
                            !bUrl);
    // Where the text is already there, the address is what is left to type.
    if (bUrl)
        GotoDlgCtrl(m_editUrlText.GetWindowText().empty() ? m_editUrlText : m_editUrlAddress);
    else
        GotoDlgCtrl(m_editEmailText.GetWindowText().empty() ? m_editEmailText : m_editEmailAddress);
}

void CLinkDialog::OnOK()
{
    if (m_radioUrl.IsChecked()) {
        m_strText = m_editUrlText.GetWindowText();
        m_strUrl = m_editUrlAddress.GetWindowText();
        m_bIsUrl = true;
    } else {
        m_strText = m_editEmailText.GetWindowText();
        m_strEmail = m_editEmailAddress.GetWindowText();
        m_strSubject = m_editSubject.GetWindowText();
        m_bIsUrl = false;
    }
    CDialog::OnOK();
}
