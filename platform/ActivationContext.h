#pragma once
// The accessory's own activation context, made from the Common Controls 6
// manifest in its resources, and the scope that makes it current while our
// windows, controls, image lists and message boxes are created. A host
// without a Common Controls 6 context of its own would otherwise give our
// dialogs the controls of Windows 2000. Used in the few platform places that
// create windows, never in the dialogs themselves.
#include <windows.h>
#include <commctrl.h>

namespace platform {

class CActivationContext {
public:
    // The module's context, made once and released when the module unloads.
    // Null when the module holds no manifest or the system refused it: the
    // windows are then made in the caller's context, as before.
    static HANDLE Get();
};

// Activates the module's context for the life of the scope.
class CActivationScope {
public:
    CActivationScope();
    ~CActivationScope();
    CActivationScope(const CActivationScope&) = delete;
    CActivationScope& operator=(const CActivationScope&) = delete;

    bool IsActive() const { return m_bActive; }

private:
    ULONG_PTR m_nCookie = 0;
    bool m_bActive = false;
};

// Image lists of the common controls library our context names. A toolbar
// made in the context is that library's, and it must be given an image list
// of the same library, whatever version the calling program imports.
HIMAGELIST CreateImageList(int cx, int cy, UINT flags, int nInitial, int nGrow);
int AddIconToImageList(HIMAGELIST hImages, HICON hIcon);
void DestroyImageList(HIMAGELIST hImages);

// A message box made in the module's context.
int ShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType);
int ShowMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nType);

}  // namespace platform
