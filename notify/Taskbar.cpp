#include "notify/Taskbar.h"

#include <windows.h>
#include <shellapi.h>

namespace notify {

CTaskbar QueryTaskbar()
{
    // The record's size must be this build's own: a 64-bit shell refuses the
    // 32-bit record size and would leave the popup above the screen.
    APPBARDATA data{};
    data.cbSize = sizeof data;
    CTaskbar taskbar;
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &data) == 0)
        return taskbar;
    taskbar.rc = {data.rc.left, data.rc.top, data.rc.right, data.rc.bottom};
    taskbar.edge = data.uEdge;
    taskbar.bReported = true;
    return taskbar;
}

}  // namespace notify
