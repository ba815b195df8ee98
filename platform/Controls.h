#pragma once
// Wrappers over the standard controls a dialog binds by id. Like CWnd they do
// not own their window: the dialog's window destroys its children.
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>

#include "platform/Wnd.h"

namespace platform {

class CStatic : public CWnd {
};

class CEdit : public CWnd {
public:
    void SetSel(int nStart, int nEnd) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(nStart), nEnd); }
    void SetLimitText(int nMax) const { SendMessage(EM_SETLIMITTEXT, static_cast<WPARAM>(nMax)); }
};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
    bool IsChecked() const { return GetCheck() == BST_CHECKED; }
};

class CComboBox : public CWnd {
public:
    int AddString(const std::string& text) const
    {
        return static_cast<int>(::SendMessageA(m_hWnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    void SetCurSel(int nIndex) const { SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nIndex)); }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
};

class CProgressBar : public CWnd {
public:
    void SetRange(int nMin, int nMax) const { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nMin), nMax); }
    void SetPos(int nPos) const { SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    // The bar that moves without saying how far: the style must be set
    // before the marquee is started.
    void SetMarquee(bool bOn) const
    {
        const LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, bOn ? (style | PBS_MARQUEE) : (style & ~static_cast<LONG_PTR>(PBS_MARQUEE)));
        SendMessage(PBM_SETMARQUEE, bOn ? TRUE : FALSE, 30);
    }
};

// Enables or disables the controls in the order given.
void EnableWindows(std::initializer_list<const CWnd*> controls, bool bEnable);

}  // namespace platform
