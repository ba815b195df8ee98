#pragma once
// The "Blog Editor": the modal dialog in which the user writes the entry that
// carries the capture (title, formatted text, image placement, blog, draft
// flag). It lists the account's blogs when it opens, formats the entry from
// its two toolbars, its size box and the text's shortcuts, and publishes on
// "&Post". The caller reads m_strBlogAddress (IDOK) or m_bUseDifferentAccount
// (IDCANCEL) after the run; with the latter, m_draft holds the entry, and
// handing it to the next run's m_draft before DoModal puts it back.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editor/EntryDraft.h"
#include "editor/MyRichEditCtrl.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "platform/ToolBarCtrl.h"
#include "platform/ToolTipCtrl.h"
#include "platform/UniqueHandle.h"
#include "publish/PublishJob.h"

class CBlogOutputDlg : public platform::CDialog {
public:
    // The icon stays the caller's; it must outlive the dialog.
    CBlogOutputDlg(HWND hParent, HICON hIcon);

    bool SetSendParameters(int nBlogType, const std::string& userName, const std::string& password,
                           const std::string& server, const std::string& endpoint, const std::string& imagePath,
                           const std::string& libraryPath, const std::string& helpPath);

    // The formatting commands, also reached from the entry's shortcuts.
    void OnCharEffect(UINT nId);
    void InsertLink();

    // A post is out: the library's call runs on its own thread and nothing
    // may end the dialog or change the entry until its result is back.
    bool IsPosting() const { return m_job != nullptr; }

    HICON m_hIcon;
    int m_nBlogType = 1;
    std::string m_strUserName;
    std::string m_strPassword;
    std::string m_strServer;
    std::string m_strEndpoint;
    std::string m_strImagePath;
    std::string m_strLibraryPath;
    std::string m_strHelpPath;
    // The chosen blog's address: the result. Empty when nothing was posted.
    std::string m_strBlogAddress;
    std::vector<std::string> m_blogIds;
    std::vector<std::string> m_blogAddresses;
    bool m_bUseDifferentAccount = false;
    CEntryDraft m_draft;
    // The entry while it is being published.
    std::string m_strRtf;
    std::string m_strHtml;
    // The link last clicked and its hidden part; -1 when none.
    LONG m_nLinkStart = -1;
    LONG m_nLinkEnd = -1;
    LONG m_nHiddenStart = -1;
    LONG m_nHiddenEnd = -1;
    int m_nCollapseHeight = 0;
    RECT m_rcEntryGroup{};
    platform::CToolBarCtrl m_formatBar;
    platform::CToolBarCtrl m_imageBar;

protected:
    void DoDataExchange() override;
    BOOL OnInitDialog() override;
    // Enter outside the entry text must not end the dialog: the entry would
    // be lost without a word.
    void OnOK() override {}
    void OnCancel() override;
    const std::string* GetHelpPath() const override { return &m_strHelpPath; }
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    // A failed command must not take the entry with it: the failure is
    // reported and the editor stays open.
    bool OnHandlerFailed(UINT msg) noexcept override;

private:
    // Initialisation steps.
    // nBaseSize: the icons' size at 96 DPI; they are loaded at the dialog's.
    bool CreateToolBar(platform::CToolBarCtrl& bar, int idFrame, int nBaseSize, const int* pIconIds, int nIcons,
                       platform::CImageList& images, const std::vector<platform::CToolBarSlot>& slots);
    void CentreCaptionsOnImageButtons();
    void FillTextSizes();
    bool FetchBlogList();
    void CollapseBlogNameRow();

    // Every way of closing without posting asks this first: true when nothing
    // is written or the user agrees to lose it.
    bool ConfirmDiscard();

    // The entry across "Use Different Account..." (EntryDraft.cpp).
    void TakeDraft();
    void RestoreDraft();

    // Commands and notifications.
    void OnAlignText(UINT nId);
    void OnAlignImage(UINT nId);
    void OnCreateLink(UINT nId);
    void OnRemoveLink(UINT nId);
    void OnTextSize(UINT nId);
    void OnPost(UINT nId);
    void OnUseDifferentAccount(UINT nId);
    LRESULT OnSelChange(NMHDR& header);
    LRESULT OnLink(NMHDR& header);
    LRESULT OnToolTipText(NMHDR& header);

    // The formatting of the entry.
    void ToggleCharEffect(DWORD dwEffect, DWORD dwValue);
    void RemoveLink();
    void UpdateAlignButtons();
    void UpdateFormatButtons();
    // Both of the above: the toolbars and the size box in step with the
    // selection, after every change.
    void UpdateToolBars();
    void SetCaretHeight(LONG nPosition, LONG nHeight);
    void LeaveHiddenText(LONG nCaret);
    // Presses nId and releases the others of first..last.
    static void PressOneOf(const platform::CToolBarCtrl& bar, UINT nFirst, UINT nLast, UINT nId);

    // Publishing (publish/ComposeAndPublish.cpp).
    void ComposeAndPublish();
    std::string ReadTitle() const;
    UINT PressedImagePlacement() const;
    // What follows the library's call, on the window thread.
    void FinishPost(int nResult, bool bStopRequested);

    // While the post is out (editor/BlogOutputPosting.cpp). The job posts
    // these to the dialog from its thread.
    static constexpr UINT kPublishDoneMessage = WM_APP + 1;
    static constexpr UINT kPublishProgressMessage = WM_APP + 2;
    void BeginPosting(bool bCanStop);
    void EndPosting();
    void ShowProgress(const publish::CProgressReading& reading);
    void OnStop(UINT nId);
    void OnPublishProgress();
    void OnPublishDone();
    // The wait cursor over the editor, the arrow over Stop.
    bool SetPostingCursor(HWND hUnder);

    platform::CImageList m_formatImages;
    platform::CImageList m_imageImages;
    platform::CToolTipCtrl m_toolTip;

    platform::CEdit m_editTitle;
    CMyRichEditCtrl m_editEntry;
    platform::CComboBox m_listBlogs;
    platform::CComboBox m_listTextSize;
    platform::CButton m_buttonAccount;
    platform::CButton m_buttonPost;
    platform::CButton m_checkDraft;
    platform::CStatic m_labelUserName;
    platform::CButton m_buttonCancel;
    platform::CButton m_buttonStop;
    platform::CProgressBar m_progressBar;
    platform::CStatic m_labelStatus;

    std::unique_ptr<publish::CPublishJob> m_job;
    // The controls the post disabled, enabled again when it is back.
    std::vector<HWND> m_disabledWhilePosting;
    std::vector<platform::CToolBarButtonState> m_formatButtonsWhilePosting;
    std::vector<platform::CToolBarButtonState> m_imageButtonsWhilePosting;
};
