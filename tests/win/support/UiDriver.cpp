#include "support/UiDriver.h"

#include <algorithm>
#include <chrono>
#include <map>

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
    if (!state->caption.empty() && Text(hWnd) != state->caption)
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

// Lets the target thread handle what was sent before the next step.
void Settle() { Sleep(60); }

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
            Settle();
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
    Settle();
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
    Settle();
}

void Click(HWND hWnd)
{
    const RECT rc = ScreenRect(hWnd);
    const int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
    const int cx = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), cy = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT in[3]{};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = (x * 65535) / (cx - 1);
        i.mi.dy = (y * 65535) / (cy - 1);
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    ::SetForegroundWindow(::GetAncestor(hWnd, GA_ROOT));
    ::SendInput(3, in, sizeof(INPUT));
    Settle();
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
    Settle();
    // The message box's text is the static control with id 0xFFFF.
    const std::string text = Text(::GetDlgItem(hBox, 0xFFFF));
    HWND hButton = ::GetDlgItem(hBox, button);
    if (hButton)
        Click(hButton);
    if (!WaitUntilGone(hBox, 2000))
        ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitUntilGone(hBox, 5000);
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

CDialogCanceller::CDialogCanceller() : m_hStop(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    ::InitializeCriticalSection(&m_cs);
    m_thread = std::thread([this] {
        std::vector<HWND> seen;
        while (::WaitForSingleObject(m_hStop, 50) == WAIT_TIMEOUT) {
            for (HWND h : FindWindows("", "#32770")) {
                if (std::find(seen.begin(), seen.end(), h) == seen.end()) {
                    seen.push_back(h);
                    ::EnterCriticalSection(&m_cs);
                    m_captions.push_back(Text(h));
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
    : m_thread([script = std::move(script), watchdogMs]() {
          std::thread watchdog;
          HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
          watchdog = std::thread([done, watchdogMs]() {
              if (::WaitForSingleObject(done, static_cast<DWORD>(watchdogMs)) == WAIT_TIMEOUT) {
                  std::fputs("watchdog: closing windows left open\n", stderr);
                  for (int i = 0; i < 20 && !FindWindows().empty(); ++i) {
                      CloseAllWindows();
                      Sleep(250);
                  }
              }
          });
          script();
          ::SetEvent(done);
          watchdog.join();
          ::CloseHandle(done);
      })
{
}

CUserScript::~CUserScript() { Join(); }

void CUserScript::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

}  // namespace ui
