#pragma once
// GDI+ kept started in the process while anything that draws with it lives.
// Holders count: the first starts GDI+, the last shuts it down, so a plug-in
// leaves no GDI+ state behind once its last popup has gone.
#include <windows.h>

namespace notify {

class CGdiplusSession {
public:
    CGdiplusSession();
    ~CGdiplusSession();
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

    // False when GDI+ could not be started; nothing may then be drawn with it.
    bool IsStarted() const { return m_bStarted; }
    // Live holders in the process: zero means GDI+ is shut down.
    static int HolderCount();

private:
    bool m_bStarted = false;
};

}  // namespace notify
