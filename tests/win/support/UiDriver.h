#pragma once
// Drives this process's windows as a user would: finds them by caption, class
// and control id, reads their state, types, clicks, presses keys and takes
// screenshots. Modal loops run on the test's main thread, so a driver script
// runs on a thread of its own (CUserScript).
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace ui {

// The process whose windows the driver looks for: this one unless another
// is named (0 names this one again). A driver in a process of its own plays
// the user of another program on the same desktop.
void DriveProcess(DWORD dwProcessId);

// Visible top-level windows of the driven process; empty strings match anything.
std::vector<HWND> FindWindows(const std::string& caption = "", const std::string& className = "");
// Waits until such a window is visible and has finished initialising.
HWND WaitForWindow(const std::string& caption, const std::string& className = "", int timeoutMs = 10000);
bool WaitUntilGone(HWND hWnd, int timeoutMs = 10000);
// Waits, from a thread other than the window's, until the condition holds:
// for the state an action leads to, not for a time. False when it never did.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000);

HWND Control(HWND hParent, int id);
std::string Text(HWND hWnd);
// A window's title as stored, read without a message: a window whose thread
// is blocked (the test's own, waiting for a script) cannot hang the reader.
std::string Caption(HWND hWnd);
std::string ClassName(HWND hWnd);
RECT ScreenRect(HWND hWnd);
// Rectangle in the client coordinates of the given parent.
RECT RectIn(HWND hWnd, HWND hParent);
bool IsEnabled(HWND hWnd);
bool IsVisible(HWND hWnd);
bool IsChecked(HWND hWnd);
HWND Focused(HWND hTopLevel);

// Brings the window's top-level ancestor forward and gives it the focus.
void Focus(HWND hWnd);
// Types text into the window with the focus after focusing hWnd.
void Type(HWND hWnd, const std::string& text);
// The same for text beyond the ANSI code page.
void Type(HWND hWnd, const std::wstring& text);
// A left click in the middle of the window.
void Click(HWND hWnd);
// A left click at a point of the screen that lies on the window.
void ClickAt(int x, int y, HWND hWnd);
// Keys such as "Enter", "Escape", "Tab", "Shift+Tab", "Ctrl+B", "Alt+O", "Space".
void Press(const std::string& keys);

// Waits until the thread of the window (of the foreground window when none
// is named) has taken every key and click sent so far, and what they posted.
void Settle(HWND hWnd = nullptr);

// Waits for a message box, returns its text and answers it with the button.
std::string AnswerMessageBox(int button = IDOK, int timeoutMs = 10000);

bool Screenshot(HWND hWnd, const std::string& pngPath);

// Runs a driver script on its own thread while the test's thread runs a modal
// loop; Join is called once that loop has returned. A watchdog fails the test
// and closes whatever is open when the two have not ended within watchdogMs.
class CUserScript {
public:
    explicit CUserScript(std::function<void()> script, int watchdogMs = 20000);
    ~CUserScript();
    CUserScript(const CUserScript&) = delete;
    CUserScript& operator=(const CUserScript&) = delete;
    void Join();

private:
    HANDLE m_hJoined;
    std::thread m_thread;
};

// Closes every window of this process, for tests that leave something open.
void CloseAllWindows();

// Cancels every dialog of this process that shows while it lives, and
// counts them: for tests of what happens around the dialogs.
class CDialogCanceller {
public:
    // Each dialog is named by describe, its caption unless told otherwise.
    explicit CDialogCanceller(std::function<std::string(HWND)> describe = Caption);
    ~CDialogCanceller();
    CDialogCanceller(const CDialogCanceller&) = delete;
    CDialogCanceller& operator=(const CDialogCanceller&) = delete;
    // Captions of the dialogs cancelled so far, in order: a test reads them to
    // know the dialog it expected came, and that nothing else did.
    std::vector<std::string> Cancelled() const;

private:
    std::thread m_thread;
    HANDLE m_hStop;
    mutable std::vector<std::string> m_captions;
    mutable CRITICAL_SECTION m_cs;
};

}  // namespace ui
