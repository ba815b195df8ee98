#include "platform/Controls.h"

namespace platform {

void EnableWindows(std::initializer_list<const CWnd*> controls, bool bEnable)
{
    for (const CWnd* control : controls)
        control->EnableWindow(bEnable);
}

void SetTabStop(HWND hWnd, bool bTabStop)
{
    const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_STYLE);
    const LONG_PTR wanted = bTabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    if (wanted != style)
        ::SetWindowLongPtrW(hWnd, GWL_STYLE, wanted);
}

}  // namespace platform
