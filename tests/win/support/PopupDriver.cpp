#include "support/PopupDriver.h"

#include <mmsystem.h>
#include <winternl.h>

namespace popup_driver {

namespace {

void PumpOnce(DWORD dwWaitMs)
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, dwWaitMs, QS_ALLINPUT);
}

void SendMouse(int x, int y, DWORD dwButtons)
{
    const int cx = ::GetSystemMetrics(SM_CXVIRTUALSCREEN), cy = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65535) / (cx - 1);
    in.mi.dy = (y * 65535) / (cy - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | dwButtons;
    ::SendInput(1, &in, sizeof in);
}

struct CClassCount {
    std::string className;
    int count = 0;
};

BOOL CALLBACK CountWindow(HWND hWnd, LPARAM lParam)
{
    auto* state = reinterpret_cast<CClassCount*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    char name[256] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    if (pid == ::GetCurrentProcessId() && state->className == name)
        ++state->count;
    return TRUE;
}

// One entry of the GDI handle table the process environment block points to;
// the same 24-byte layout on 64-bit Windows and in both halves of Wine (the
// table is read only where GetGuiResources answers nothing, as under Wine).
struct CGdiHandleEntry {
    ULONG64 kernelObject;
    USHORT processId;
    USHORT count;
    USHORT upper;
    UCHAR type;
    UCHAR flags;
    ULONG64 userObject;
};
static_assert(sizeof(CGdiHandleEntry) == 24, "GDI handle table entry layout");
constexpr int kGdiHandleEntries = 0x10000;
constexpr std::size_t kPebGdiSharedHandleTable = sizeof(void*) == 8 ? 0xF8 : 0x94;

// GCC takes the segment read inside NtCurrentTeb for an access to an empty array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
int CountGdiHandleTable()
{
    const auto* peb = reinterpret_cast<const BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    const auto* table = *reinterpret_cast<const CGdiHandleEntry* const*>(peb + kPebGdiSharedHandleTable);
    if (!table)
        return -1;
    int n = 0;
    for (int i = 0; i < kGdiHandleEntries; ++i)
        if (table[i].type)
            ++n;
    return n;
}
#pragma GCC diagnostic pop

}  // namespace

void Pump(int ms)
{
    const DWORD dwEnd = ::timeGetTime() + static_cast<DWORD>(ms);
    while (static_cast<int>(dwEnd - ::timeGetTime()) > 0)
        PumpOnce(1);
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const DWORD dwEnd = ::timeGetTime() + static_cast<DWORD>(timeoutMs);
    while (!condition()) {
        if (static_cast<int>(dwEnd - ::timeGetTime()) <= 0)
            return false;
        PumpOnce(1);
    }
    return true;
}

std::vector<CSample> SampleUntilGone(HWND hWnd, DWORD dwStart, int timeoutMs)
{
    std::vector<CSample> samples;
    const DWORD dwEnd = dwStart + static_cast<DWORD>(timeoutMs);
    while (::IsWindow(hWnd) && static_cast<int>(dwEnd - ::timeGetTime()) > 0) {
        CSample sample{::timeGetTime() - dwStart, {}};
        if (::GetWindowRect(hWnd, &sample.rc))
            samples.push_back(sample);
        PumpOnce(1);
    }
    return samples;
}

void MoveMouseTo(int x, int y)
{
    SendMouse(x, y, 0);
    Pump(50);
}

void ClickAt(int x, int y)
{
    SendMouse(x, y, 0);
    Pump(30);
    SendMouse(x, y, MOUSEEVENTF_LEFTDOWN);
    Pump(30);
    SendMouse(x, y, MOUSEEVENTF_LEFTUP);
    Pump(50);
}

int CountWindowsOfClass(const std::string& className)
{
    CClassCount state{className, 0};
    ::EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&state));
    return state.count;
}

int GdiObjectCount()
{
    const DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    return n ? static_cast<int>(n) : CountGdiHandleTable();
}

}  // namespace popup_driver
