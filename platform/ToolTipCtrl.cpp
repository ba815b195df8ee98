#include "platform/ToolTipCtrl.h"

#include <string>

#include "platform/ActivationContext.h"
#include "platform/Module.h"

namespace platform {

bool CToolTipCtrl::Create(HWND hOwner)
{
    m_hOwner = hOwner;
    CActivationScope scope;
    m_hWnd.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hOwner, nullptr,
                                   reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hOwner, GWLP_HINSTANCE)),
                                   nullptr));
    return static_cast<bool>(m_hWnd);
}

void CToolTipCtrl::AddChildTools() const
{
    if (!m_hWnd)
        return;
    for (HWND hChild = ::GetWindow(m_hOwner, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        TOOLINFOW tool{};
        // The size of the first version of the record: every comctl32 takes
        // it, while 5.82 refuses today's larger record and adds no tool.
        tool.cbSize = TTTOOLINFOW_V1_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_hOwner;
        tool.uId = reinterpret_cast<UINT_PTR>(hChild);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_hWnd.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

namespace {

UINT ToolId(const NMHDR& header, UINT uFlags)
{
    if (uFlags & TTF_IDISHWND)
        return static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom)));
    return static_cast<UINT>(header.idFrom);
}

}  // namespace

bool AnswerToolTipText(NMHDR& header)
{
    std::wstring text;
    if (header.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
        info.szText[0] = L'\0';
        info.lpszText = info.szText;
        const UINT nId = ToolId(header, info.uFlags);
        if (nId == 0)
            return false;
        text = CModule::LoadWideString(nId);
        lstrcpynW(info.szText, text.c_str(), static_cast<int>(std::size(info.szText)));
    } else if (header.code == TTN_GETDISPINFOA) {
        auto& info = reinterpret_cast<NMTTDISPINFOA&>(header);
        info.szText[0] = '\0';
        info.lpszText = info.szText;
        const UINT nId = ToolId(header, info.uFlags);
        if (nId == 0)
            return false;
        const std::string ansi = CModule::LoadString(nId);
        text.assign(ansi.begin(), ansi.end());
        lstrcpynA(info.szText, ansi.c_str(), static_cast<int>(std::size(info.szText)));
    } else {
        return false;
    }
    if (text.empty())
        return false;
    // Tooltips of a modal dialog's toolbar can open behind the dialog.
    ::SetWindowPos(header.hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

}  // namespace platform
