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

}  // namespace notify
