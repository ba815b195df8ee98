#pragma once
// The entry's rich edit control with the editor's four keyboard shortcuts:
// Ctrl+B, Ctrl+I, Ctrl+U and Ctrl+K reach the owner's formatting commands.
// Everything else, Tab and the clipboard and undo keys included, is the
// platform control's own behaviour.
#include "platform/RichEditCtrl.h"

class CBlogOutputDlg;

class CMyRichEditCtrl : public platform::CRichEditCtrl {
public:
    CMyRichEditCtrl() = default;
    ~CMyRichEditCtrl();
    CMyRichEditCtrl(const CMyRichEditCtrl&) = delete;
    CMyRichEditCtrl& operator=(const CMyRichEditCtrl&) = delete;

    // Called once by the dialog, before the event mask is set, so the owner
    // is in place before any keystroke can arrive. Hooks the control's
    // character messages.
    void SetOwner(CBlogOutputDlg* pOwner);

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Unhook();
    // True when the character was a shortcut and is consumed.
    bool OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);

    CBlogOutputDlg* m_pOwner = nullptr;
    HWND m_hHooked = nullptr;
    WNDPROC m_pfnOldProc = nullptr;
};
