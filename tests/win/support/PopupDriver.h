#pragma once
// What the popup tests need beyond the UI driver: a message loop on the test's
// own thread (the popup runs from window timers), the real pointer moved and
// clicked over a window, window-rectangle samples over time, and counts of
// windows and GDI objects left behind.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace popup_driver {

// Runs this thread's message loop for the given time.
void Pump(int ms);
// Runs it until the condition holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs);

struct CSample {
    DWORD ms;  // since the start of the sampling
    RECT rc;
};
// The window's rectangle sampled every few milliseconds while the message
// loop runs, from the start time until the window is gone or the time is up.
std::vector<CSample> SampleUntilGone(HWND hWnd, DWORD dwStart, int timeoutMs);

// Real pointer input, as the user's mouse gives it.
void MoveMouseTo(int x, int y);
void ClickAt(int x, int y);

// Windows of the class in this process, hidden ones included.
int CountWindowsOfClass(const std::string& className);

// GDI objects of this process. Windows answers GetGuiResources; Wine answers
// 0 there, so the process's GDI handle table is counted instead. Only
// differences within one process mean anything.
int GdiObjectCount();

// What GDI objects may grow by over a few dozen runs without a leak: Wine's font
// and device-context caches are bounded but still creep by a few objects. An
// object lost on every run shows as the number of runs, far above this.
constexpr int kGdiCacheCreep = 8;

}  // namespace popup_driver
