#include "platform/Controls.h"

namespace platform {

void EnableWindows(std::initializer_list<const CWnd*> controls, bool bEnable)
{
    for (const CWnd* control : controls)
        control->EnableWindow(bEnable);
}

}  // namespace platform
