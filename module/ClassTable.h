#pragma once
#include "platform/ClassFactory.h"

// The classes of this module, in registration order.
namespace module {
HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
// S_OK only when no object, lock or window of ours is alive. Frees the
// publishing library the Blog Editor left loaded before answering S_OK.
HRESULT CanUnloadNow();
void ReleaseClassObjects();
}  // namespace module
