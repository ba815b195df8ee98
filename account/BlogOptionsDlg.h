#pragma once
// The options dialog: prompt for the log-in on every send, or always use the
// log-in entered here. It shows the stored log-in when one is in use; the
// caller copies the public members after OK and stores them.
#include <string>

#include "platform/Controls.h"
#include "platform/Dialog.h"

class BlogOptionsDlg : public platform::CDialog {
public:
    explicit BlogOptionsDlg(HWND hParent = nullptr);

    void SetTitle(const std::string& title) { m_strTitle = title; }
    void SetHelpPath(const std::string& path) { m_strHelpPath = path; }
    void SetShowServerFields(bool bShow) { m_bShowServer = bShow; }
    // The stored log-in in use; replaces the caption too.
    void SetInitialValues(const std::string& title, const std::string& userName, const std::string& password,
                          const std::string& server, const std::string& endpoint);

    // Initial values going in; after OK the four edits' texts, shown or not.
    std::string m_strUserName;
    std::string m_strPassword;
    std::string m_strServer;
    std::string m_strEndpoint;
    std::string m_strTitle;
    std::string m_strHelpPath;
    int m_bAlwaysUse = 0;
    bool m_bShowServer = false;
    // Pixels taken out of the dialog when the server rows are hidden.
    int m_nRemovedHeight = 0;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    const std::string* GetHelpPath() const override { return &m_strHelpPath; }

private:
    // Checks the choice's radio button, gives it the focus and sets the
    // log-in controls to match.
    void Choose(bool bAlwaysUse);
    void EnableLoginControls(bool bEnable);
    // The two radio buttons.
    void OnChoice(UINT nId);

    platform::CEdit m_editPassword;
    platform::CButton m_radioPrompt;
    platform::CButton m_radioAlwaysUse;
    platform::CEdit m_editUserName;
    platform::CEdit m_editServer;
    platform::CEdit m_editEndpoint;
    platform::CStatic m_labelUserName;
    platform::CStatic m_labelPassword;
    platform::CStatic m_labelServer;
    platform::CStatic m_labelEndpoint;
    platform::CButton m_buttonOk;
    platform::CButton m_buttonCancel;
    platform::CButton m_buttonHelp;
    platform::CStatic m_groupLogin;
};
