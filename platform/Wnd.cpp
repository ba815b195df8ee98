#include "platform/Wnd.h"

namespace platform {

std::string CWnd::GetWindowText() const
{
    const int n = ::GetWindowTextLengthA(m_hWnd);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    const int got = ::GetWindowTextA(m_hWnd, &text[0], n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

RECT CWnd::GetRectInParent() const
{
    RECT rc = GetWindowRect();
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

}  // namespace platform
