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

CRiseEdge QueryRiseEdge(void* hWindow)
{
    HWND hWnd = static_cast<HWND>(hWindow);
    HMONITOR hMonitor = hWnd && ::IsWindow(hWnd) ? ::MonitorFromWindow(hWnd, MONITOR_DEFAULTTOPRIMARY)
                                                 : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!hMonitor || !::GetMonitorInfoW(hMonitor, &info)) {
        // No monitor to ask: the shell's taskbar, as it reports it.
        const CTaskbar taskbar = QueryTaskbar();
        CRiseEdge rise;
        rise.strip = taskbar.rc;
        rise.edge = taskbar.edge;
        return rise;
    }
    const CPopupRect monitor{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
    const CPopupRect work{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    // The shell's edge decides where a taskbar that hides itself comes out.
    const CTaskbar taskbar = QueryTaskbar();
    return RiseEdgeOfMonitor(monitor, work, taskbar.bReported ? taskbar.edge : static_cast<unsigned>(kEdgeBottom));
}

}  // namespace notify
