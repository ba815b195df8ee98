#pragma once
// "Create Link": asks for a link's visible text and its target, a web address
// or an e-mail address with an optional subject. It hands back the texts of
// the chosen type as typed; building and checking the target is the caller's.
#include <string>

#include "platform/Controls.h"
#include "platform/Dialog.h"

class CLinkDialog : public platform::CDialog {
public:
    explicit CLinkDialog(HWND hParent = nullptr);

    void SetHelpPath(const std::string& path) { m_strHelpPath = path; }
    bool IsUrlLink() const { return m_bIsUrl; }

    // Going in: the proposed display text and web address. After OK: the
    // chosen type's fields; the other type's members keep their values.
    std::string m_strText;
    std::string m_strUrl;
    std::string m_strEmail;
    std::string m_strSubject;
    std::string m_strHelpPath;
    bool m_bIsUrl = true;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    const std::string* GetHelpPath() const override { return &m_strHelpPath; }

private:
    // The link type's radio buttons: enables the chosen type's rows and
    // disables the other's.
    void OnLinkType(UINT nId);

    platform::CStatic m_groupType;
    platform::CButton m_radioUrl;
    platform::CStatic m_labelUrlText;
    platform::CEdit m_editUrlText;
    platform::CStatic m_labelUrlAddress;
    platform::CEdit m_editUrlAddress;
    platform::CButton m_radioEmail;
    platform::CStatic m_labelEmailText;
    platform::CEdit m_editEmailText;
    platform::CStatic m_labelEmailAddress;
    platform::CEdit m_editEmailAddress;
    platform::CStatic m_labelSubject;
    platform::CEdit m_editSubject;
    platform::CButton m_buttonOk;
    platform::CButton m_buttonCancel;
    platform::CButton m_buttonHelp;
};
