#pragma once
// A tooltip control for a dialog's own controls: each tool is a child window
// whose text the owner supplies on request (TTN_GETDISPINFO), so the string
// table stays the one source of tooltip texts. The tooltip window is a
// top-level window of its own and is destroyed with this object.
#include <windows.h>
#include <commctrl.h>

#include "platform/UniqueHandle.h"

namespace platform {

class CToolTipCtrl {
public:
    bool Create(HWND hOwner);
    // Every child of the owner becomes a tool that asks its text from the owner.
    void AddChildTools() const;
    HWND GetSafeHwnd() const { return m_hWnd.Get(); }

private:
    HWND m_hOwner = nullptr;
    CWindow m_hWnd;
};

// Answers a tooltip's text request, in the 8-bit or the wide form, from the
// string table. The id is the command of a toolbar button or, for a tool
// given by its window, that control's id; 0 and ids without a string leave
// the text empty, so no tooltip shows. True when a text was given.
bool AnswerToolTipText(NMHDR& header);

}  // namespace platform
