#pragma once
// Shows the hourglass for the lifetime of the object: around work the user
// waits for, such as the host saving the capture or a call to the blog.
#include <windows.h>

namespace platform {

class CWaitCursor {
public:
    CWaitCursor() : m_hPrevious(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~CWaitCursor() { ::SetCursor(m_hPrevious); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    HCURSOR m_hPrevious;
};

}  // namespace platform
