#pragma once
// The package object: the host may create it around set-up, but this
// accessory needs no set-up of its own.
#include "orlimo.h"
#include "platform/ComObject.h"

class CPackage : public platform::CComObjectRoot, public IPackageSetup {
public:
    static const platform::CInterfaceEntry* InterfaceMap();

    STDMETHODIMP Install() override { return E_NOTIMPL; }
    STDMETHODIMP Uninstall() override { return E_NOTIMPL; }
    STDMETHODIMP SetOption(long /*nOption*/) override { return E_NOTIMPL; }

protected:
    CPackage() = default;
    virtual ~CPackage() = default;
};
