#include "support/DialogDriver.h"

#include <gtest/gtest.h>

#include <mutex>

#include "support/UiDriver.h"

namespace dialog_test {

namespace {

std::mutex g_guard;
std::vector<std::string> g_helpCalls;
std::vector<std::pair<int, bool>> g_enables;

HWND WINAPI RecordHelp(HWND hOwner, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData)
{
    std::lock_guard<std::mutex> lock(g_guard);
    g_helpCalls.push_back(std::string(pszFile ? pszFile : "(null)") + "|" + std::to_string(uCommand) + "|" +
                          std::to_string(dwData) + "|" + (hOwner ? "owned" : "unowned"));
    return nullptr;
}

LRESULT CALLBACK RecordEnable(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION) {
        const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (msg->message == WM_ENABLE && (::GetWindowLongPtrW(msg->hwnd, GWL_STYLE) & WS_CHILD)) {
            std::lock_guard<std::mutex> lock(g_guard);
            g_enables.emplace_back(::GetDlgCtrlID(msg->hwnd), msg->wParam != 0);
        }
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

}  // namespace

INT_PTR RunDialog(platform::CDialog& dlg, const std::string& caption, const std::function<void(HWND)>& script)
{
    ui::CUserScript user([&] {
        HWND hDlg = ui::WaitForWindow(caption, "#32770");
        if (!hDlg) {
            ADD_FAILURE() << "no dialog \"" << caption << "\" appeared";
            return;
        }
        script(hDlg);
        if (!ui::WaitUntilGone(hDlg, 3000)) {
            ADD_FAILURE() << "the script left \"" << caption << "\" open";
            ::PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    });
    const INT_PTR result = dlg.DoModal();
    user.Join();
    return result;
}

int FocusedId(HWND hDlg)
{
    HWND hFocus = ui::Focused(hDlg);
    return hFocus && ::GetParent(hFocus) == hDlg ? ::GetDlgCtrlID(hFocus) : 0;
}

void Activate(HWND hDlg)
{
    // Sharing the dialog thread's input state for this would leave the
    // dialog inactive once the threads part again.
    // Under Wine the change of foreground goes through the X server and comes
    // back later; keys sent before it lands go to the window that had it.
    ::SetForegroundWindow(hDlg);
    if (!ui::WaitFor([&] { return ::GetForegroundWindow() == hDlg; }, 5000))
        ADD_FAILURE() << "the dialog did not become the foreground window";
    ui::Settle(hDlg);
}

std::vector<int> TabOrder(HWND hDlg, int nPresses)
{
    std::vector<int> ids;
    for (int i = 0; i < nPresses; ++i) {
        ui::Press("Tab");
        ids.push_back(FocusedId(hDlg));
    }
    return ids;
}

RECT FromDialogUnits(HWND hDlg, int x, int y, int cx, int cy)
{
    // The dialog manager converts position and size separately, each rounded.
    RECT units{x, y, cx, cy};
    ::MapDialogRect(hDlg, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

std::string ItemText(HWND hDlg, int id) { return ui::Text(ui::Control(hDlg, id)); }
bool ItemEnabled(HWND hDlg, int id) { return ui::IsEnabled(ui::Control(hDlg, id)); }
bool ItemVisible(HWND hDlg, int id) { return ui::IsVisible(ui::Control(hDlg, id)); }
bool ItemChecked(HWND hDlg, int id) { return ui::IsChecked(ui::Control(hDlg, id)); }

bool Shoot(HWND hDlg, const std::string& name)
{
    // An active caption, as the user sees the dialog they are working in.
    // Without a window manager Wine may draw the first window of a process
    // inactive although it is the active one; the frame is told again.
    Activate(hDlg);
    if (::GetForegroundWindow() == hDlg)
        ::SendMessageW(hDlg, WM_NCACTIVATE, TRUE, 0);
    return ui::Screenshot(hDlg, std::string(WP_SCREENSHOTS_DIR) + name);
}

CHelpRecorder::CHelpRecorder() : m_pfnOld(platform::SetHtmlHelpHandler(RecordHelp))
{
    std::lock_guard<std::mutex> lock(g_guard);
    g_helpCalls.clear();
}

CHelpRecorder::~CHelpRecorder() { platform::SetHtmlHelpHandler(m_pfnOld); }

std::vector<std::string> CHelpRecorder::Calls() const
{
    std::lock_guard<std::mutex> lock(g_guard);
    return g_helpCalls;
}

CEnableRecorder::CEnableRecorder()
    : m_hHook(::SetWindowsHookExW(WH_CALLWNDPROC, RecordEnable, nullptr, ::GetCurrentThreadId()))
{
    Take();
}

CEnableRecorder::~CEnableRecorder()
{
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
}

std::vector<std::pair<int, bool>> CEnableRecorder::Take()
{
    std::lock_guard<std::mutex> lock(g_guard);
    return std::exchange(g_enables, {});
}

}  // namespace dialog_test
