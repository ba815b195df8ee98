#pragma once
#include "platform/ClassFactory.h"

// The classes of this module, in registration order.
namespace module {
HRESULT GetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
void ReleaseClassObjects();
}  // namespace module
