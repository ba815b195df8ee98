#include "platform/ComObject.h"

namespace platform {

HRESULT CComObjectRoot::InternalQueryInterface(void* pThis, const CInterfaceEntry* entries, REFIID iid,
                                               void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!pThis || !entries || !entries->piid)
        return E_NOINTERFACE;
    const bool wantsUnknown = InlineIsEqualGUID(iid, IID_IUnknown);
    for (const CInterfaceEntry* e = entries; e->piid; ++e) {
        if (wantsUnknown || InlineIsEqualGUID(iid, *e->piid)) {
            auto* itf = reinterpret_cast<IUnknown*>(static_cast<char*>(pThis) + e->offset);
            itf->AddRef();
            *ppv = itf;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

}  // namespace platform
