#pragma once
// The taskbar's place as the shell reports it.
#include "notify/PopupGeometry.h"

namespace notify {

struct CTaskbar {
    CPopupRect rc;
    unsigned edge = kEdgeLeft;
    bool bReported = false;  // false: the shell has no taskbar, rc and edge are zero
};

// With no taskbar reported the record stays zeroed: a left edge and an empty
// rectangle at the origin.
CTaskbar QueryTaskbar();

// Where a popup for the given window rises: the taskbar edge of the monitor
// that holds most of the window (the primary monitor for none), from its
// work area against the monitor's area. The handle is a void pointer so
// this header stays free of the platform's.
CRiseEdge QueryRiseEdge(void* hWindow);

}  // namespace notify
