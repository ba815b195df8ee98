#include "support/UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <chrono>
#include <map>
#include <mutex>

#include "host/Screenshot.h"
#include "platform/Text.h"

namespace ui {

namespace {

DWORD g_dwDrivenProcess = 0;

DWORD DrivenProcess() { return g_dwDrivenProcess ? g_dwDrivenProcess : ::GetCurrentProcessId(); }

struct CEnumState {
    std::string caption;
    std::string className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    auto* state = reinterpret_cast<CEnumState*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != DrivenProcess() || !::IsWindowVisible(hWnd))
        return TRUE;
    if (!state->caption.empty() && Caption(hWnd) != state->caption)
        return TRUE;
    if (!state->className.empty() && ClassName(hWnd) != state->className)
        return TRUE;
    state->found.push_back(hWnd);
    return TRUE;
}

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

INPUT KeyInput(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// The driver knows its input has been taken, not guessed from a pause: a
// marker key follows the input, and a keyboard hook on the thread that gets it
// sees the marker only once that thread has retrieved and dispatched every
// earlier key and click (and, as posted messages come before input, what
// their handling posted). The hook swallows the marker, so no window sees it.
constexpr WORD kMarkerKey = VK_F24;
std::mutex g_markerGuard;
HANDLE g_hMarkerTaken = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
// Each marker carries a number of its own in its scan code, so a marker an
// earlier wait gave up on cannot end a later wait early.
std::atomic<unsigned> g_nMarkerScan{0};

LRESULT CALLBACK MarkerHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && wParam == kMarkerKey) {
        const unsigned nScan = static_cast<unsigned>(lParam >> 16) & 0xFF;
        if ((lParam & 0x80000000) && nScan == g_nMarkerScan.load())  // this marker's key-up: its last message
            ::SetEvent(g_hMarkerTaken);
        return 1;
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

WORD KeyCode(const std::string& name)
{
    static const std::map<std::string, WORD> keys = {
        {"Enter", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB},     {"Space", VK_SPACE},
        {"Left", VK_LEFT},    {"Right", VK_RIGHT},   {"Up", VK_UP},       {"Down", VK_DOWN},
        {"Home", VK_HOME},    {"End", VK_END},       {"Delete", VK_DELETE}, {"Back", VK_BACK},
        {"F1", VK_F1},
    };
    const auto it = keys.find(name);
    if (it != keys.end())
        return it->second;
    if (name.size() == 1)
        return static_cast<WORD>(::VkKeyScanA(name[0]) & 0xFF);
    return 0;
}

}  // namespace

// Waits until the thread of the window (the foreground window's when none is
// named) has taken everything sent before, or until the window has gone (the
// input ended its dialog, and its thread may not read input again for a
// while). A window of another process cannot be hooked from here; the driver
// then gives it a moment instead.
void Settle(HWND hWnd)
{
    HWND hTarget = hWnd ? hWnd : ::GetForegroundWindow();
    DWORD pid = 0;
    const DWORD tid = hTarget ? ::GetWindowThreadProcessId(hTarget, &pid) : 0;
    if (!tid || pid != ::GetCurrentProcessId() || tid == ::GetCurrentThreadId()) {
        Sleep(60);
        return;
    }
    std::lock_guard<std::mutex> lock(g_markerGuard);
    HHOOK hHook = ::SetWindowsHookExW(WH_KEYBOARD, MarkerHook, nullptr, tid);
    if (!hHook) {
        Sleep(60);
        return;
    }
    ::ResetEvent(g_hMarkerTaken);
    static unsigned s_nMarkers = 0;
    const WORD nScan = static_cast<WORD>((++s_nMarkers & 0x7F) | 0x80);
    g_nMarkerScan.store(nScan);
    INPUT marker[2] = {KeyInput(kMarkerKey, false), KeyInput(kMarkerKey, true)};
    marker[0].ki.wScan = marker[1].ki.wScan = nScan;
    ::SendInput(2, marker, sizeof(INPUT));
    HWND hRoot = ::GetAncestor(hTarget, GA_ROOT);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::WaitForSingleObject(g_hMarkerTaken, 10) == WAIT_TIMEOUT) {
        if (!::IsWindow(hTarget) || !::IsWindowVisible(hRoot))
            break;
        if (std::chrono::steady_clock::now() >= deadline) {
            std::fputs("ui driver: the window's thread took no input for 5 s\n", stderr);
            break;
        }
    }
    ::UnhookWindowsHookEx(hHook);
}

void DriveProcess(DWORD dwProcessId) { g_dwDrivenProcess = dwProcessId; }

std::vector<HWND> FindWindows(const std::string& caption, const std::string& className)
{
    CEnumState state{caption, className, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForWindow(const std::string& caption, const std::string& className, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto found = FindWindows(caption, className);
        if (!found.empty()) {
            // Visible is not yet ready: wait until the owner thread answers,
            // which it does only after its initialisation returned.
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(found.front(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
            Settle(found.front());
            return found.front();
        }
        Sleep(20);
    }
    return nullptr;
}

bool WaitUntilGone(HWND hWnd, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!::IsWindow(hWnd) || !::IsWindowVisible(hWnd))
            return true;
        Sleep(20);
    }
    return false;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        Sleep(10);
    }
    return true;
}

HWND Control(HWND hParent, int id) { return ::GetDlgItem(hParent, id); }

std::string Text(HWND hWnd)
{
    const int n = static_cast<int>(::SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = static_cast<int>(::SendMessageW(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    return platform::AnsiFromWide(text.c_str(), got);
}

std::string Caption(HWND hWnd)
{
    wchar_t text[512] = {};
    const int n = ::InternalGetWindowText(hWnd, text, 512);
    return platform::AnsiFromWide(text, n);
}

std::string ClassName(HWND hWnd)
{
    char name[256] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    return name;
}

RECT ScreenRect(HWND hWnd)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

RECT RectIn(HWND hWnd, HWND hParent)
{
    RECT rc = ScreenRect(hWnd);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool IsEnabled(HWND hWnd) { return ::IsWindowEnabled(hWnd) != 0; }
bool IsVisible(HWND hWnd) { return ::IsWindowVisible(hWnd) != 0; }
bool IsChecked(HWND hWnd) { return ::SendMessageW(hWnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }

HWND Focused(HWND hTopLevel)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(hTopLevel, nullptr), &info);
    return info.hwndFocus;
}

void Focus(HWND hWnd)
{
    HWND hTop = ::GetAncestor(hWnd, GA_ROOT);
    const DWORD target = ::GetWindowThreadProcessId(hTop, nullptr);
    const DWORD self = ::GetCurrentThreadId();
    // Focus belongs to the window's own thread; share its input state briefly.
    ::AttachThreadInput(self, target, TRUE);
    ::SetForegroundWindow(hTop);
    ::SetFocus(hWnd);
    ::AttachThreadInput(self, target, FALSE);
    Settle(hWnd);
}

void Type(HWND hWnd, const std::string& text) { Type(hWnd, platform::WideFromAnsi(text)); }

namespace {

bool EndsWithText(HWND hWnd, const std::wstring& text)
{
    const int n = ::GetWindowTextLengthW(hWnd);
    std::wstring shown(static_cast<std::size_t>(n) + 1, L'\0');
    shown.resize(static_cast<std::size_t>(::GetWindowTextW(hWnd, &shown[0], n + 1)));
    return shown.size() >= text.size() && shown.compare(shown.size() - text.size(), text.size(), text) == 0;
}

}  // namespace

void Type(HWND hWnd, const std::wstring& text)
{
    if (hWnd)
        Focus(hWnd);
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wScan = c;
        in.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(in);
        in.ki.dwFlags |= KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    if (!inputs.empty())
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // The keys wait in the input queue while the next Focus moves the focus at
    // once, which would hand the last of them to the next control. Where the
    // control's text can be read, wait for it to hold what was typed; what
    // the dialog does on the change then gets its usual moment.
    if (hWnd && ClassName(hWnd) == "Edit" && text.find_first_of(L"\r\n\t\b") == std::wstring::npos)
        WaitFor([&] { return EndsWithText(hWnd, text); }, 5000);
    Settle(hWnd);
}

namespace {

// Mouse input and keys do not keep their order under Wine: a key sent after
// a click can be taken first. So a click waits for its own button-up to be
// taken before the marker key goes.
HANDLE g_hButtonUpTaken = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);

LRESULT CALLBACK ButtonUpHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && (wParam == WM_LBUTTONUP || wParam == WM_NCLBUTTONUP))
        ::SetEvent(g_hButtonUpTaken);
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

}  // namespace

void ClickAt(int x, int y, HWND hWnd)
{
    const int cx = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), cy = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT in[3]{};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (x * 65535) / (cx - 1);
        i.mi.dy = (y * 65535) / (cy - 1);
    }
    // Each event carries the position: under Wine the X server's own idea of
    // the pointer can come back between the move and the press, and a press
    // without a position lands wherever that put the cursor.
    const DWORD dwAt = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    in[0].mi.dwFlags = dwAt;
    in[1].mi.dwFlags = dwAt | MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = dwAt | MOUSEEVENTF_LEFTUP;
    ::SetForegroundWindow(::GetAncestor(hWnd, GA_ROOT));
    DWORD pid = 0;
    const DWORD tid = ::GetWindowThreadProcessId(hWnd, &pid);
    HHOOK hHook = nullptr;
    if (pid == ::GetCurrentProcessId() && tid != ::GetCurrentThreadId()) {
        ::ResetEvent(g_hButtonUpTaken);
        hHook = ::SetWindowsHookExW(WH_MOUSE, ButtonUpHook, nullptr, tid);
    }
    ::SendInput(3, in, sizeof(INPUT));
    if (hHook) {
        HWND hRoot = ::GetAncestor(hWnd, GA_ROOT);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (::WaitForSingleObject(g_hButtonUpTaken, 10) == WAIT_TIMEOUT && ::IsWindow(hWnd) &&
               ::IsWindowVisible(hRoot) && std::chrono::steady_clock::now() < deadline) {
        }
        ::UnhookWindowsHookEx(hHook);
    }
    Settle(hWnd);
}

void Click(HWND hWnd)
{
    const RECT rc = ScreenRect(hWnd);
    ClickAt((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2, hWnd);
}

void Press(const std::string& keys)
{
    std::vector<WORD> chord;
    std::size_t start = 0;
    while (start <= keys.size()) {
        const std::size_t plus = keys.find('+', start + 1);
        const std::string part = keys.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (part == "Ctrl")
            chord.push_back(VK_CONTROL);
        else if (part == "Shift")
            chord.push_back(VK_SHIFT);
        else if (part == "Alt")
            chord.push_back(VK_MENU);
        else
            chord.push_back(KeyCode(part));
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD vk : chord)
        inputs.push_back(KeyInput(vk, false));
    for (auto it = chord.rbegin(); it != chord.rend(); ++it)
        inputs.push_back(KeyInput(*it, true));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Settle();
}

std::string AnswerMessageBox(int button, int timeoutMs)
{
    // A message box is the dialog with a text of id 0xFFFF; other dialogs
    // of the process may be open beneath it.
    HWND hBox = nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!hBox && std::chrono::steady_clock::now() < deadline) {
        for (HWND h : FindWindows("", "#32770"))
            if (::GetDlgItem(h, 0xFFFF))
                hBox = h;
        if (!hBox)
            Sleep(20);
    }
    if (!hBox)
        return "(no message box)";
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(hBox, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    Settle(hBox);
    // The message box's text is the static control with id 0xFFFF.
    const std::string text = Text(::GetDlgItem(hBox, 0xFFFF));
    HWND hButton = ::GetDlgItem(hBox, button);
    if (hButton)
        Click(hButton);
    HWND hOwner = ::GetWindow(hBox, GW_OWNER);
    if (!WaitUntilGone(hBox, 2000))
        ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitUntilGone(hBox, 5000);
    // What the owner does once the box returned (say, focus the field the
    // message was about) is part of the answer. A hidden box's own loop may
    // still take input; once the box is destroyed, its loop has ended.
    WaitFor([&] { return !::IsWindow(hBox); }, 5000);
    if (hOwner)
        Settle(hOwner);
    return text;
}

bool Screenshot(HWND hWnd, const std::string& pngPath)
{
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Sleep(200);
    return host::SaveScreenRectToPng(ScreenRect(hWnd), platform::WideFromAnsi(pngPath));
}

void CloseAllWindows()
{
    for (HWND hWnd : FindWindows()) {
        // Dialogs end on IDCANCEL; other windows close.
        ::PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    }
}

CDialogCanceller::CDialogCanceller(std::function<std::string(HWND)> describe)
    : m_hStop(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    ::InitializeCriticalSection(&m_cs);
    m_thread = std::thread([this, describe = std::move(describe)] {
        std::vector<HWND> seen;
        while (::WaitForSingleObject(m_hStop, 50) == WAIT_TIMEOUT) {
            // A handle may be reused by the next dialog, which must count again.
            seen.erase(std::remove_if(seen.begin(), seen.end(), [](HWND h) { return !::IsWindow(h); }), seen.end());
            for (HWND h : FindWindows("", "#32770")) {
                if (std::find(seen.begin(), seen.end(), h) == seen.end()) {
                    seen.push_back(h);
                    ::EnterCriticalSection(&m_cs);
                    m_captions.push_back(describe(h));
                    ::LeaveCriticalSection(&m_cs);
                }
                ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        }
    });
}

CDialogCanceller::~CDialogCanceller()
{
    ::SetEvent(m_hStop);
    m_thread.join();
    ::CloseHandle(m_hStop);
    ::DeleteCriticalSection(&m_cs);
}

std::vector<std::string> CDialogCanceller::Cancelled() const
{
    ::EnterCriticalSection(&m_cs);
    std::vector<std::string> captions = m_captions;
    ::LeaveCriticalSection(&m_cs);
    return captions;
}

CUserScript::CUserScript(std::function<void()> script, int watchdogMs)
    : m_hJoined(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    // The watch lasts until the test joins, not only while the script runs: a
    // script that ends early (a click that missed) leaves the modal loop it
    // drives waiting for a user who never comes.
    m_thread = std::thread([script = std::move(script), watchdogMs, hJoined = m_hJoined]() {
        std::thread watchdog([hJoined, watchdogMs]() {
            if (::WaitForSingleObject(hJoined, static_cast<DWORD>(watchdogMs)) == WAIT_TIMEOUT) {
                // Something met a window it did not expect, or missed one it
                // did: the test cannot have passed.
                ADD_FAILURE() << "watchdog: the user's script and the dialogs it drives did not end in "
                              << watchdogMs << " ms; closing the windows left open";
                for (int i = 0; i < 20 && !FindWindows().empty(); ++i) {
                    CloseAllWindows();
                    Sleep(250);
                }
            }
        });
        script();
        watchdog.join();
    });
}

CUserScript::~CUserScript()
{
    Join();
    ::CloseHandle(m_hJoined);
}

void CUserScript::Join()
{
    ::SetEvent(m_hJoined);
    if (m_thread.joinable())
        m_thread.join();
}

}  // namespace ui
