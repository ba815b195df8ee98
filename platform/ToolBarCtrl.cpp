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

RECT CToolBarCtrl::GetItemRect(int nSlot) const
{
    RECT rc{};
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nSlot), reinterpret_cast<LPARAM>(&rc));
    return rc;
}

}  // namespace platform
