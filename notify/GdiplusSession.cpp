#include "notify/GdiplusSession.h"

#include <gdiplus.h>

#include "platform/Module.h"

namespace notify {

namespace {

struct CSessionState {
    CRITICAL_SECTION cs;
    int nHolders = 0;
    ULONG_PTR token = 0;
    CSessionState() { ::InitializeCriticalSection(&cs); }
    ~CSessionState() { ::DeleteCriticalSection(&cs); }
};

CSessionState& State()
{
    static CSessionState state;
    return state;
}

}  // namespace

CGdiplusSession::CGdiplusSession()
{
    CSessionState& state = State();
    platform::CCriticalSectionLock lock(state.cs);
    if (state.nHolders == 0) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&state.token, &input, nullptr) != Gdiplus::Ok)
            return;
    }
    ++state.nHolders;
    m_bStarted = true;
}

CGdiplusSession::~CGdiplusSession()
{
    if (!m_bStarted)
        return;
    CSessionState& state = State();
    platform::CCriticalSectionLock lock(state.cs);
    if (--state.nHolders == 0) {
        Gdiplus::GdiplusShutdown(state.token);
        state.token = 0;
    }
}

int CGdiplusSession::HolderCount()
{
    CSessionState& state = State();
    platform::CCriticalSectionLock lock(state.cs);
    return state.nHolders;
}

}  // namespace notify
