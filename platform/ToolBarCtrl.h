#pragma once
// A toolbar control: one message per method, sizes filled in for the caller.
// The toolbar does not own its image list; whoever sets it keeps it alive
// for as long as the toolbar exists.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "platform/Wnd.h"

namespace platform {

// One slot of a toolbar: a command with an image, or a separator.
struct CToolBarSlot {
    int nCommand;  // 0 for a separator
    int nImage;    // index into the image list; ignored for a separator
};

struct CToolBarButtonState {
    int nCommand;
    BYTE fsState;
};

class CToolBarCtrl : public CWnd {
public:
    // A flat toolbar with tooltips, without borders or divider, that stays
    // where it is put instead of docking to an edge of its parent.
    bool Create(HWND hParent, UINT nId);

    void SetImageList(HIMAGELIST hImages) const
    {
        SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hImages));
    }
    void SetBitmapSize(int cx, int cy) const { SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy)); }
    // Plain buttons (not check buttons): their pressed state is set by the
    // owner alone.
    bool AddSlots(const std::vector<CToolBarSlot>& slots) const;
    void AutoSize() const { SendMessage(TB_AUTOSIZE); }

    void PressButton(int nCommand, bool bPress) const
    {
        SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(nCommand), MAKELPARAM(bPress ? TRUE : FALSE, 0));
    }
    bool IsButtonPressed(int nCommand) const { return SendMessage(TB_ISBUTTONPRESSED, static_cast<WPARAM>(nCommand)) != 0; }
    void EnableButton(int nCommand, bool bEnable) const
    {
        SendMessage(TB_ENABLEBUTTON, static_cast<WPARAM>(nCommand), MAKELPARAM(bEnable ? TRUE : FALSE, 0));
    }
    bool IsButtonEnabled(int nCommand) const { return SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(nCommand)) != 0; }
    int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    // A disabled toolbar window still draws its buttons as usable: this greys
    // each enabled button itself. Disabling also drops a button's pressed
    // state, which may be what the owner reads, so each state is kept as it
    // was for RestoreButtons.
    std::vector<CToolBarButtonState> DisableButtons() const;
    void RestoreButtons(const std::vector<CToolBarButtonState>& states) const;
    // Rectangle of the slot in the toolbar's client coordinates.
    RECT GetItemRect(int nSlot) const;
    HWND GetToolTips() const { return reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS)); }
};

}  // namespace platform
