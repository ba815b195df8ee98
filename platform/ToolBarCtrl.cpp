#include "platform/ToolBarCtrl.h"

#include "platform/ActivationContext.h"

namespace platform {

bool CToolBarCtrl::Create(HWND hParent, UINT nId)
{
    const DWORD dwStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER |
                          CCS_NORESIZE | CCS_NOPARENTALIGN;
    CActivationScope scope;
    m_hWnd = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, dwStyle, 0, 0, 0, 0, hParent,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nId)),
                               reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(hParent, GWLP_HINSTANCE)), nullptr);
    if (!m_hWnd)
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CToolBarCtrl::AddSlots(const std::vector<CToolBarSlot>& slots) const
{
    std::vector<TBBUTTON> buttons;
    for (const CToolBarSlot& slot : slots) {
        TBBUTTON button{};
        if (slot.nCommand == 0) {
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = slot.nImage;
            button.idCommand = slot.nCommand;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(button);
    }
    return SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

std::vector<CToolBarButtonState> CToolBarCtrl::DisableButtons() const
{
    std::vector<CToolBarButtonState> disabled;
    for (int i = 0; i < GetButtonCount(); ++i) {
        TBBUTTON button{};
        if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button)) ||
            (button.fsStyle & BTNS_SEP) || !(button.fsState & TBSTATE_ENABLED))
            continue;
        disabled.push_back({button.idCommand, button.fsState});
        SendMessage(TB_SETSTATE, static_cast<WPARAM>(button.idCommand),
                    MAKELPARAM(button.fsState & ~TBSTATE_ENABLED, 0));
    }
    return disabled;
}

void CToolBarCtrl::RestoreButtons(const std::vector<CToolBarButtonState>& states) const
{
    for (const CToolBarButtonState& state : states)
        SendMessage(TB_SETSTATE, static_cast<WPARAM>(state.nCommand), MAKELPARAM(state.fsState, 0));
}

RECT CToolBarCtrl::GetItemRect(int nSlot) const
{
    RECT rc{};
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nSlot), reinterpret_cast<LPARAM>(&rc));
    return rc;
}

}  // namespace platform
