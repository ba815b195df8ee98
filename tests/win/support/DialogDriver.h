#pragma once
// Helpers for driving our modal dialogs end to end: a run with a user script,
// focus and tab order by control id, dialog-unit geometry, screenshots, and
// recorders for the help viewer and for the order controls are enabled in.
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/Dialog.h"
#include "platform/HtmlHelp.h"

namespace dialog_test {

// Runs the dialog modally on this thread while the script drives it from
// its own. A script that leaves the dialog open fails the test and cancels it.
INT_PTR RunDialog(platform::CDialog& dlg, const std::string& caption, const std::function<void(HWND)>& script);

int FocusedId(HWND hDlg);
// Gives the dialog the keyboard focus as a user's click on it would.
void Activate(HWND hDlg);
// Presses Tab n times; the id of the focused control after each press.
std::vector<int> TabOrder(HWND hDlg, int nPresses);
// A template rectangle in pixels of the dialog's client area.
RECT FromDialogUnits(HWND hDlg, int x, int y, int cx, int cy);
// Text of a control, and its visibility and enabling, by id.
std::string ItemText(HWND hDlg, int id);
bool ItemEnabled(HWND hDlg, int id);
bool ItemVisible(HWND hDlg, int id);
bool ItemChecked(HWND hDlg, int id);
// Saves the dialog, frame included, as docs/screenshots/<name>.
bool Shoot(HWND hDlg, const std::string& name);

// The calls that reached the HTML Help viewer, as "file|command|data|owned".
class CHelpRecorder {
public:
    CHelpRecorder();
    ~CHelpRecorder();
    CHelpRecorder(const CHelpRecorder&) = delete;
    CHelpRecorder& operator=(const CHelpRecorder&) = delete;
    std::vector<std::string> Calls() const;

private:
    platform::HtmlHelpFn m_pfnOld;
};

// WM_ENABLE messages reaching controls on this thread: (control id, enabled).
class CEnableRecorder {
public:
    CEnableRecorder();
    ~CEnableRecorder();
    CEnableRecorder(const CEnableRecorder&) = delete;
    CEnableRecorder& operator=(const CEnableRecorder&) = delete;
    // What was recorded since the last call.
    std::vector<std::pair<int, bool>> Take();

private:
    HHOOK m_hHook;
};

}  // namespace dialog_test
