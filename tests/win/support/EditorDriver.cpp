#include "support/EditorDriver.h"

#include <commctrl.h>

#include "platform/Module.h"
#include "platform/RichEditCtrl.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/UiDriver.h"

namespace editor_test {

std::string BlogsXml(const std::vector<std::vector<std::string>>& blogs)
{
    std::string xml = "<Blogs>";
    for (const auto& b : blogs)
        xml += "<Blog_Object><BlogId>" + b[0] + "</BlogId><BlogName>" + b[1] + "</BlogName><BlogAddress>" + b[2] +
               "</BlogAddress></Blog_Object>";
    return xml + "</Blogs>";
}

HWND OpenMessageBox()
{
    for (HWND h : ui::FindWindows("", "#32770"))
        if (::GetDlgItem(h, 0xFFFF))
            return h;
    return nullptr;
}

bool CloseDiscarding(HWND hDlg)
{
    ui::Press("Escape");
    ui::WaitFor([&] { return !::IsWindow(hDlg) || OpenMessageBox() != nullptr; }, 5000);
    if (::IsWindow(hDlg) && OpenMessageBox())
        ui::AnswerMessageBox(IDYES);
    return ui::WaitUntilGone(hDlg, 3000);
}

void WithEditor(const std::string& blogsXml, const std::function<void(HWND, CBlogOutputDlg&)>& script)
{
    CEditorSetup setup(blogsXml);
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    dialog_test::RunDialog(dlg, "Blog Editor", [&](HWND h) {
        dialog_test::Activate(h);
        script(h, dlg);
        for (HWND w : ui::FindWindows("Create Link"))
            ::PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
        ui::Focus(Entry(h));
        CloseDiscarding(h);
    });
}

CEditorSetup::CEditorSetup(const std::string& blogsXml, const std::vector<std::string>& moreAnswers)
{
    ::CopyFileA((testing_support::StandInLibraryFolder() + "QTVPublish.dll").c_str(),
                m_library.LibraryPath().c_str(), FALSE);
    std::vector<std::string> answers = moreAnswers;
    answers.push_back("blogs.xml=" + blogsXml);
    m_library.SetAnswers(answers);
    m_hIcon.Reset(static_cast<HICON>(::LoadImageW(platform::CModule::ResourceInstance(),
                                                  MAKEINTRESOURCEW(IDI_SMALL_WORDPRESS), IMAGE_ICON, 16, 16, 0)));
}

CEditorSetup::~CEditorSetup() = default;

void CEditorSetup::Prepare(CBlogOutputDlg& dlg, const std::string& userName) const
{
    dlg.m_hIcon = m_hIcon.Get();
    dlg.SetSendParameters(1, userName, "secret", "", "", testing_support::DemoCapture(), m_library.LibraryPath(),
                          Folder() + "WordPressOutput.chm");
}

namespace {

std::vector<HWND> ToolBars(HWND hDlg)
{
    std::vector<HWND> bars;
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (ui::ClassName(h) == TOOLBARCLASSNAMEA)
            bars.push_back(h);
    }
    return bars;
}

HWND BarWithButton(HWND hDlg, int nCommand)
{
    for (HWND h : ToolBars(hDlg)) {
        if (::SendMessageW(h, TB_COMMANDTOINDEX, static_cast<WPARAM>(nCommand), 0) >= 0)
            return h;
    }
    return nullptr;
}

}  // namespace

HWND FormatBar(HWND hDlg) { return BarWithButton(hDlg, ID_FORMAT_BOLD); }
HWND ImageBar(HWND hDlg) { return BarWithButton(hDlg, ID_ALIGN_IMAGE_LEFT); }

bool Pressed(HWND hBar, int nCommand) { return ::SendMessageW(hBar, TB_ISBUTTONPRESSED, nCommand, 0) != 0; }
bool Enabled(HWND hBar, int nCommand) { return ::SendMessageW(hBar, TB_ISBUTTONENABLED, nCommand, 0) != 0; }

void ClickButton(HWND hBar, int nCommand)
{
    const LRESULT index = ::SendMessageW(hBar, TB_COMMANDTOINDEX, static_cast<WPARAM>(nCommand), 0);
    RECT rc{};
    ::SendMessageW(hBar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
    POINT centre{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(hBar, &centre);
    ui::ClickAt(centre.x, centre.y, hBar);
}

HWND Entry(HWND hDlg) { return ::GetDlgItem(hDlg, IDC_EDITOR_ENTRY); }

void Select(HWND hDlg, LONG nStart, LONG nEnd)
{
    CHARRANGE range{nStart, nEnd};
    ::SendMessageA(Entry(hDlg), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    ui::Settle(Entry(hDlg));
}

CHARFORMAT2A SelectionFormat(HWND hDlg)
{
    platform::CRichEditCtrl edit;
    edit.Attach(Entry(hDlg));
    return edit.GetSelectionCharFormat();
}

std::string EntryText(HWND hDlg)
{
    platform::CRichEditCtrl edit;
    edit.Attach(Entry(hDlg));
    return edit.GetTextRange(0, -1);
}

std::string EntryRtf(HWND hDlg)
{
    platform::CRichEditCtrl edit;
    edit.Attach(Entry(hDlg));
    return edit.StreamOut(SF_RTF);
}

std::string SizeBoxText(HWND hDlg)
{
    HWND hBox = ::GetDlgItem(hDlg, IDC_EDITOR_TEXT_SIZE);
    const LRESULT sel = ::SendMessageA(hBox, CB_GETCURSEL, 0, 0);
    char text[64] = {};
    if (sel >= 0)
        ::SendMessageA(hBox, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    return text;
}

std::string AskToolTip(HWND hDlg, UINT_PTR idFrom, bool bWide, bool bIsWindow)
{
    // A tooltip window of our own stands for the one that asks.
    HWND hTip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                  nullptr);
    std::string text;
    if (bWide) {
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = hTip;
        info.hdr.idFrom = idFrom;
        info.hdr.code = TTN_GETDISPINFOW;
        info.uFlags = bIsWindow ? TTF_IDISHWND : 0;
        ::SendMessageW(hDlg, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        if (info.lpszText == info.szText) {
            char ansi[256] = {};
            ::WideCharToMultiByte(CP_ACP, 0, info.szText, -1, ansi, sizeof ansi, nullptr, nullptr);
            text = ansi;
        }
    } else {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = hTip;
        info.hdr.idFrom = idFrom;
        info.hdr.code = TTN_GETDISPINFOA;
        info.uFlags = bIsWindow ? TTF_IDISHWND : 0;
        ::SendMessageA(hDlg, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        if (info.lpszText == info.szText)
            text = info.szText;
    }
    ::DestroyWindow(hTip);
    return text;
}

}  // namespace editor_test

namespace editor_test {

void SetEntryRtf(HWND hDlg, const std::string& rtf)
{
    platform::CRichEditCtrl edit;
    edit.Attach(Entry(hDlg));
    edit.StreamIn(SF_RTF, rtf);
    ui::Settle(Entry(hDlg));
}

void ClickCharacter(HWND hDlg, LONG nPosition)
{
    POINTL pt{};
    ::SendMessageA(Entry(hDlg), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), nPosition);
    POINT screen{pt.x + 2, pt.y + 4};
    ::ClientToScreen(Entry(hDlg), &screen);
    ::SetForegroundWindow(hDlg);
    ui::ClickAt(screen.x, screen.y, Entry(hDlg));
}

RECT ItemRect(HWND hDlg, int id) { return ui::RectIn(::GetDlgItem(hDlg, id), hDlg); }

HWND StaticWithText(HWND hDlg, const std::string& text)
{
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (ui::ClassName(h) == "Static" && ui::Text(h) == text)
            return h;
    }
    return nullptr;
}

}  // namespace editor_test

namespace editor_test {

HWND HoverUntilToolTip(HWND hBar, int nSlot, const std::string& text)
{
    RECT rc{};
    ::SendMessageW(hBar, TB_GETITEMRECT, static_cast<WPARAM>(nSlot), reinterpret_cast<LPARAM>(&rc));
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(hBar, &pt);
    // A move within the button starts the tooltip's hover timer.
    ::SetCursorPos(pt.x - 2, pt.y);
    ::Sleep(100);
    ::SetCursorPos(pt.x, pt.y);
    for (int i = 0; i < 40; ++i) {
        ::Sleep(100);
        for (HWND w : ui::FindWindows("", "tooltips_class32"))
            if (ui::Text(w) == text)
                return w;
    }
    return nullptr;
}

}  // namespace editor_test
