#pragma once
// The log-in dialog: user name, password and, for blog types that need them,
// server and endpoint, with the "always use" choice. It starts empty on every
// run and keeps nothing; the caller copies the public members after OK.
#include <string>

#include "platform/Controls.h"
#include "platform/Dialog.h"

class BlogAuth : public platform::CDialog {
public:
    explicit BlogAuth(HWND hParent = nullptr);

    void SetTitle(const std::string& title) { m_strTitle = title; }
    void SetShowServerFields(bool bShow) { m_bShowServer = bShow; }

    // Filled on OK; server and endpoint only while their rows are shown.
    std::string m_strServer;
    std::string m_strEndpoint;
    std::string m_strUserName;
    std::string m_strPassword;
    std::string m_strTitle;
    int m_bAlwaysUse = 0;
    // Pixels taken out of the dialog when the server rows are hidden.
    int m_nRemovedHeight = 0;
    bool m_bShowServer = false;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    platform::CEdit m_editPassword;
    platform::CEdit m_editUserName;
    platform::CEdit m_editServer;
    platform::CEdit m_editEndpoint;
    platform::CStatic m_groupLogin;
    platform::CButton m_buttonOk;
    platform::CButton m_buttonCancel;
    platform::CButton m_checkAlwaysUse;
    platform::CStatic m_labelUserName;
    platform::CStatic m_labelPassword;
    platform::CStatic m_labelServer;
    platform::CStatic m_labelEndpoint;
};
