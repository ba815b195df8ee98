#include "editor/BlogOutputDlg.h"

#include <algorithm>

#include "editor/EntryFormat.h"
#include "platform/ActivationContext.h"
#include "platform/Dpi.h"
#include "platform/Module.h"
#include "publish/BlogListFetch.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
#include "util/DpiRules.h"

namespace {

// The toolbars' own child id, as a frame's toolbar has.
constexpr UINT kToolBarId = 0xE800;

constexpr int kFormatIcons[] = {IDI_BOLD,       IDI_ITALIC,      IDI_UNDERLINE,   IDI_ALIGN_LEFT,
                                IDI_ALIGN_CENTER, IDI_ALIGN_RIGHT, IDI_CREATE_LINK, IDI_REMOVE_LINK};
constexpr int kImageIcons[] = {IDI_IMAGE_LEFT, IDI_IMAGE_RIGHT, IDI_IMAGE_TOP, IDI_IMAGE_BOTTOM};
// Sizes at 96 DPI; each icon is drawn for the larger scales as well.
constexpr int kFormatIconSize = 16;
constexpr int kImageIconSize = 60;

// Slots of the formatting toolbar: the image index follows kFormatIcons.
const std::vector<platform::CToolBarSlot> kFormatSlots = {
    {ID_FORMAT_BOLD, 0},   {ID_FORMAT_ITALIC, 1},     {ID_FORMAT_UNDERLINE, 2}, {0, 0},
    {ID_ALIGN_TEXT_LEFT, 3}, {ID_ALIGN_TEXT_CENTER, 4}, {ID_ALIGN_TEXT_RIGHT, 5}, {0, 0},
    {ID_CREATE_LINK, 6},   {ID_REMOVE_LINK, 7},
};
const std::vector<platform::CToolBarSlot> kImageSlots = {
    {ID_ALIGN_IMAGE_LEFT, 0}, {ID_ALIGN_IMAGE_RIGHT, 1}, {ID_ALIGN_IMAGE_TOP, 2}, {ID_ALIGN_IMAGE_BOTTOM, 3},
};

HICON LoadIconOfSize(int id, int nSize)
{
    return static_cast<HICON>(::LoadImageW(platform::CModule::ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                           nSize, nSize, LR_DEFAULTCOLOR));
}

}  // namespace

CBlogOutputDlg::CBlogOutputDlg(HWND hParent, HICON hIcon) : CDialog(IDD_BLOG_EDITOR, hParent), m_hIcon(hIcon)
{
    // The template's text control needs its window class; without it the
    // dialog cannot be created, which DoModal reports.
    platform::EnsureRichEdit();
    // And the posting bar's, which not every system registers unasked.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);

    CommandHandler(ID_FORMAT_BOLD, BN_CLICKED, &CBlogOutputDlg::OnCharEffect);
    CommandHandler(ID_FORMAT_ITALIC, BN_CLICKED, &CBlogOutputDlg::OnCharEffect);
    CommandHandler(ID_FORMAT_UNDERLINE, BN_CLICKED, &CBlogOutputDlg::OnCharEffect);
    CommandRangeHandler(ID_ALIGN_TEXT_LEFT, ID_ALIGN_TEXT_RIGHT, BN_CLICKED, &CBlogOutputDlg::OnAlignText);
    CommandHandler(ID_CREATE_LINK, BN_CLICKED, &CBlogOutputDlg::OnCreateLink);
    CommandHandler(ID_REMOVE_LINK, BN_CLICKED, &CBlogOutputDlg::OnRemoveLink);
    CommandRangeHandler(ID_ALIGN_IMAGE_LEFT, ID_ALIGN_IMAGE_BOTTOM, BN_CLICKED, &CBlogOutputDlg::OnAlignImage);
    CommandHandler(IDC_EDITOR_TEXT_SIZE, CBN_SELCHANGE, &CBlogOutputDlg::OnTextSize);
    CommandHandler(ID_POST, BN_CLICKED, &CBlogOutputDlg::OnPost);
    CommandHandler(IDC_EDITOR_STOP, BN_CLICKED, &CBlogOutputDlg::OnStop);
    CommandHandler(ID_USE_DIFFERENT_ACCOUNT, BN_CLICKED, &CBlogOutputDlg::OnUseDifferentAccount);
    NotifyHandler(IDC_EDITOR_ENTRY, EN_SELCHANGE, &CBlogOutputDlg::OnSelChange);
    NotifyHandler(IDC_EDITOR_ENTRY, EN_LINK, &CBlogOutputDlg::OnLink);
    NotifyCodeHandler(TTN_GETDISPINFOA, &CBlogOutputDlg::OnToolTipText);
    NotifyCodeHandler(TTN_GETDISPINFOW, &CBlogOutputDlg::OnToolTipText);
}

bool CBlogOutputDlg::SetSendParameters(int nBlogType, const std::string& userName, const std::string& password,
                                       const std::string& server, const std::string& endpoint,
                                       const std::string& imagePath, const std::string& libraryPath,
                                       const std::string& helpPath)
{
    m_nBlogType = nBlogType;
    m_strUserName = userName;
    m_strPassword = password;
    m_strServer = server;
    m_strEndpoint = endpoint;
    m_strImagePath = imagePath;
    m_strLibraryPath = libraryPath;
    m_strHelpPath = helpPath;
    return true;
}

void CBlogOutputDlg::DoDataExchange()
{
    BindControl(IDC_EDITOR_TITLE, m_editTitle);
    BindControl(IDC_EDITOR_ENTRY, m_editEntry);
    BindControl(IDC_EDITOR_BLOG_NAME, m_listBlogs);
    BindControl(IDC_EDITOR_TEXT_SIZE, m_listTextSize);
    BindControl(ID_USE_DIFFERENT_ACCOUNT, m_buttonAccount);
    BindControl(ID_POST, m_buttonPost);
    BindControl(IDC_EDITOR_DRAFT, m_checkDraft);
    BindControl(IDC_EDITOR_USER_NAME, m_labelUserName);
    BindControl(IDCANCEL, m_buttonCancel);
    BindControl(IDC_EDITOR_STOP, m_buttonStop);
    BindControl(IDC_EDITOR_PROGRESS, m_progressBar);
    BindControl(IDC_EDITOR_STATUS, m_labelStatus);
}

BOOL CBlogOutputDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_toolTip.Create(m_hWnd))
        m_toolTip.AddChildTools();

    CreateToolBar(m_imageBar, IDC_EDITOR_IMAGE_FRAME, kImageIconSize, kImageIcons,
                  static_cast<int>(std::size(kImageIcons)), m_imageImages, kImageSlots);
    CreateToolBar(m_formatBar, IDC_EDITOR_FORMAT_FRAME, kFormatIconSize, kFormatIcons,
                  static_cast<int>(std::size(kFormatIcons)), m_formatImages, kFormatSlots);
    CentreCaptionsOnImageButtons();

    m_editEntry.SetOwner(this);
    m_editEntry.SetEventMask(ENM_SELCHANGE | ENM_LINK);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE;
    format.yHeight = editor::kDefaultHeightTwips;
    m_editEntry.SetSelectionCharFormat(format);

    FillTextSizes();
    m_formatBar.PressButton(ID_ALIGN_TEXT_LEFT, true);
    m_imageBar.PressButton(ID_ALIGN_IMAGE_LEFT, true);

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (!FetchBlogList())
        return TRUE;
    RestoreDraft();
    UpdateToolBars();
    // The first tab stop is "Use Different Account...": a first Enter there
    // would drop the entry for a log-in. Writing starts with the title.
    GotoDlgCtrl(m_editTitle);
    return FALSE;
}

bool CBlogOutputDlg::CreateToolBar(platform::CToolBarCtrl& bar, int idFrame, int nBaseSize, const int* pIconIds,
                                   int nIcons, platform::CImageList& images,
                                   const std::vector<platform::CToolBarSlot>& slots)
{
    if (!bar.Create(m_hWnd, kToolBarId))
        return false;
    // The image drawn for this scale, never one stretched to it: a blurred
    // glyph reads worse than a slightly small one.
    const int nImageSize = util::IconSizeForDpi(nBaseSize, platform::DpiOfWindow(m_hWnd));
    images.Reset(platform::CreateImageList(nImageSize, nImageSize, ILC_COLOR32 | ILC_MASK, nIcons, 1));
    for (int i = 0; i < nIcons; ++i) {
        // The list keeps its own copy of each image.
        const platform::CIcon icon(LoadIconOfSize(pIconIds[i], nImageSize));
        platform::AddIconToImageList(images.Get(), icon.Get());
    }
    bar.SetBitmapSize(nImageSize, nImageSize);
    bar.SetImageList(images.Get());

    // The toolbar takes the hidden frame's place, and its place in the
    // z-order, which is the dialog's tab order.
    HWND hFrame = GetDlgItem(idFrame);
    const RECT rc = platform::CWnd(hFrame).GetRectInParent();
    // Dialog units and icon sizes round differently at each scale: a row of
    // buttons without separators narrows its padding rather than overrun its
    // frame, as long as the images still fit.
    const bool bSeparators = std::any_of(slots.begin(), slots.end(),
                                         [](const platform::CToolBarSlot& slot) { return slot.nCommand == 0; });
    constexpr int kDefaultPadding = 7;
    const int nRoom = slots.empty() ? 0 : static_cast<int>(rc.right - rc.left) / static_cast<int>(slots.size()) - nImageSize;
    if (!bSeparators && nRoom >= 0 && nRoom < kDefaultPadding)
        bar.SendMessage(TB_SETPADDING, 0, MAKELPARAM(nRoom, kDefaultPadding - 1));
    bar.AddSlots(slots);
    // Some toolbars ignore the padding asked for: then the buttons themselves
    // are narrowed to share the frame, again only while the images fit.
    const int nButtons = bar.GetButtonCount();
    const int nFrameWidth = static_cast<int>(rc.right - rc.left);
    if (!bSeparators && nButtons > 0 && bar.GetItemRect(nButtons - 1).right > nFrameWidth &&
        nFrameWidth / nButtons >= nImageSize) {
        const DWORD dwSize = static_cast<DWORD>(bar.SendMessage(TB_GETBUTTONSIZE, 0, 0));
        bar.SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(nFrameWidth / nButtons, HIWORD(dwSize)));
    }
    ::SetWindowPos(bar, hFrame, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
}

void CBlogOutputDlg::CentreCaptionsOnImageButtons()
{
    // The toolbar sizes its buttons by its own metrics, which differ between
    // versions of the control and between scales: the captions follow the
    // buttons where they actually are, not where the template guessed.
    for (int i = 0; i <= IDC_EDITOR_CAPTION_LAST - IDC_EDITOR_CAPTION_FIRST && i < m_imageBar.GetButtonCount(); ++i) {
        platform::CWnd caption = GetDlgItem(IDC_EDITOR_CAPTION_FIRST + i);
        if (!caption.GetSafeHwnd())
            continue;
        RECT rcButton = m_imageBar.GetItemRect(i);
        ::MapWindowPoints(m_imageBar, m_hWnd, reinterpret_cast<POINT*>(&rcButton), 2);
        const RECT rcCaption = caption.GetRectInParent();
        const int cx = rcCaption.right - rcCaption.left;
        ::SetWindowPos(caption, nullptr, (rcButton.left + rcButton.right - cx) / 2, rcCaption.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CBlogOutputDlg::FillTextSizes()
{
    for (int i = 0; i < editor::kTextSizeCount; ++i)
        m_listTextSize.AddString(platform::CModule::LoadString(IDS_TEXT_SIZE_FIRST + i));
    m_listTextSize.SetCurSel(editor::kDefaultTextSize);
}

bool CBlogOutputDlg::FetchBlogList()
{
    m_labelUserName.SetWindowText(m_strUserName);
    publish::CBlogQuery query;
    query.m_nBlogType = m_nBlogType;
    query.m_strServer = m_strServer;
    query.m_strEndpoint = m_strEndpoint;
    query.m_strUserName = m_strUserName;
    query.m_strPassword = m_strPassword;
    query.m_strLibraryPath = m_strLibraryPath;
    publish::CFetchResult result = publish::FetchBlogList(query, m_hWnd);
    switch (result.m_outcome) {
    case publish::FetchOutcome::LibraryMissing:
        EndDialog(IDCANCEL);
        return false;
    case publish::FetchOutcome::LoginRefused:
        m_bUseDifferentAccount = true;
        EndDialog(IDCANCEL);
        return false;
    case publish::FetchOutcome::Listed:
        break;
    }
    m_strBlogAddress = result.m_list.m_strBlogAddress;
    m_blogIds = std::move(result.m_list.m_blogIds);
    m_blogAddresses = std::move(result.m_list.m_blogAddresses);
    publish::FillBlogNameList(m_listBlogs, result.m_list);
    if (m_blogIds.size() < 2)
        CollapseBlogNameRow();
    return true;
}

void CBlogOutputDlg::CollapseBlogNameRow()
{
    m_nCollapseHeight = m_listBlogs.GetRectInParent().bottom - m_buttonAccount.GetRectInParent().bottom;
    m_listBlogs.ShowWindow(SW_HIDE);
    GetDlgItem(IDC_EDITOR_BLOG_NAME_LABEL).ShowWindow(SW_HIDE);

    platform::CWnd groupAccount = GetDlgItem(IDC_EDITOR_ACCOUNT_GROUP);
    const RECT rcAccount = groupAccount.GetRectInParent();
    ::SetWindowPos(groupAccount, nullptr, 0, 0, rcAccount.right - rcAccount.left,
                   rcAccount.bottom - rcAccount.top - m_nCollapseHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_rcEntryGroup = GetDlgItem(IDC_EDITOR_ENTRY_GROUP).GetRectInParent();
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        const RECT rc = platform::CWnd(hChild).GetRectInParent();
        if (rc.top >= m_rcEntryGroup.top && rc.left >= m_rcEntryGroup.left)
            ::SetWindowPos(hChild, nullptr, rc.left, rc.top - m_nCollapseHeight, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);

    const RECT rcWindow = GetWindowRect();
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rcWindow.right - rcWindow.left,
                   rcWindow.bottom - rcWindow.top - m_nCollapseHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CBlogOutputDlg::ConfirmDiscard()
{
    if (::GetWindowTextLengthW(m_editTitle) == 0 && m_editEntry.GetTextLength() == 0)
        return true;
    return platform::ShowMessageBox(m_hWnd, platform::CModule::LoadString(IDS_DISCARD_ENTRY).c_str(),
                         platform::CModule::LoadString(IDS_APP_TITLE).c_str(),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void CBlogOutputDlg::OnCancel()
{
    // Esc, Alt+F4 and the close box as well: the post's result must find the dialog.
    if (IsPosting() || !ConfirmDiscard())
        return;
    publish::ReleasePublishLibrary();
    CDialog::OnCancel();
}

bool CBlogOutputDlg::OnHandlerFailed(UINT msg) noexcept
{
    // Before the editor is set up there is nothing to keep.
    if (msg == WM_INITDIALOG)
        return false;
    try {
        platform::ShowMessageBox(m_hWnd, platform::CModule::LoadString(IDS_UNABLE_TO_SEND).c_str(),
                      platform::CModule::LoadString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        // Even the text could not be loaded: the editor stays open regardless.
    }
    return true;
}

void CBlogOutputDlg::OnUseDifferentAccount(UINT /*nId*/)
{
    TakeDraft();
    m_bUseDifferentAccount = true;
    EndDialog(IDCANCEL);
}

void CBlogOutputDlg::OnPost(UINT /*nId*/)
{
    if (IsPosting())
        return;
    ComposeAndPublish();
}

LRESULT CBlogOutputDlg::OnToolTipText(NMHDR& header)
{
    platform::AnswerToolTipText(header);
    return 0;
}

bool CBlogOutputDlg::ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    switch (msg) {
    case WM_PAINT:
        if (!::IsIconic(m_hWnd))
            return false;
        {
            platform::CPaintDC dc(m_hWnd);
            SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()));
            const RECT rc = GetClientRect();
            const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
            const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
            ::DrawIcon(dc.Get(), x, y, m_hIcon);
        }
        lResult = 0;
        return true;
    case WM_QUERYDRAGICON:
        lResult = reinterpret_cast<LRESULT>(m_hIcon);
        return true;
    case kPublishDoneMessage:
        OnPublishDone();
        return true;
    case kPublishProgressMessage:
        OnPublishProgress();
        return true;
    case WM_SETCURSOR:
        if (!IsPosting() || !SetPostingCursor(reinterpret_cast<HWND>(wParam)))
            return false;
        lResult = TRUE;
        return true;
    default:
        return false;
    }
}
