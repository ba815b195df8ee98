#pragma once
// Top-level windows of our own classes that are not dialogs. A frame object
// lives on the heap and frees itself after its window's final message, so a
// creator may start one and forget it; the window's procedure finds the object
// through the window and hands it every message first.
#include <windows.h>

#include <string>

#include "platform/Wnd.h"

namespace platform {

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;
    // Deleting an object whose window still exists destroys the window
    // without reaching the object again.
    virtual ~CFrameWnd();
    CFrameWnd(const CFrameWnd&) = delete;
    CFrameWnd& operator=(const CFrameWnd&) = delete;

    // Registers a window class of this module served by the frame procedure.
    // A class left registered by an earlier load of the module at the same
    // address is the same class and is reused. Returns 0 on failure.
    static ATOM RegisterFrameClass(const wchar_t* pszName, UINT nStyle, HCURSOR hCursor, HBRUSH hBackground);

    // Text in the ANSI code page. False when the window could not be made.
    bool CreateEx(DWORD dwExStyle, ATOM atomClass, const std::string& text, DWORD dwStyle, const RECT& rc,
                  HWND hParent, UINT nId);
    // Destroying the window deletes this object: touch nothing afterwards.
    void DestroyWindow();

protected:
    // Sees every message; true when it handled it, with lResult as the answer.
    // Unhandled messages go to the default window procedure.
    virtual bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) { return false; }
    // Called after the window's final message, when it no longer reaches this
    // object.
    virtual void PostNcDestroy() { delete this; }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

}  // namespace platform
