#include "module/Registrar.h"

#include "platform/UniqueHandle.h"

namespace module {

namespace {

HKEY RootKey(const std::string& name)
{
    if (name == "HKEY_CLASSES_ROOT")
        return HKEY_CLASSES_ROOT;
    if (name == "HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    return HKEY_LOCAL_MACHINE;
}

HRESULT FromWin32(LONG error) { return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error); }

HRESULT DeleteTree(HKEY hParent, const std::string& name)
{
    const LONG error = ::RegDeleteTreeA(hParent, name.c_str());
    if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND)
        return S_OK;
    return FromWin32(error);
}

HRESULT SetValue(HKEY hKey, const CRegValue& value)
{
    const char* name = value.strName.empty() ? nullptr : value.strName.c_str();
    if (value.bNumber) {
        const DWORD number = static_cast<DWORD>(value.nNumber);
        return FromWin32(::RegSetValueExA(hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                          sizeof number));
    }
    return FromWin32(::RegSetValueExA(hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.strText.c_str()),
                                      static_cast<DWORD>(value.strText.size() + 1)));
}

HRESULT Register(HKEY hParent, const CRegKey& key)
{
    if (key.flag == KeyFlag::ForceRemove || key.flag == KeyFlag::Delete) {
        const HRESULT hr = DeleteTree(hParent, key.strName);
        if (FAILED(hr) || key.flag == KeyFlag::Delete)
            return hr;
    }
    platform::CRegKey hKey;
    HRESULT hr = FromWin32(::RegCreateKeyExA(hParent, key.strName.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                             nullptr, hKey.Put(), nullptr));
    if (FAILED(hr))
        return hr;
    if (key.bHasDefault && FAILED(hr = SetValue(hKey.Get(), key.defaultValue)))
        return hr;
    for (const CRegValue& value : key.values)
        if (FAILED(hr = SetValue(hKey.Get(), value)))
            return hr;
    for (const CRegKey& sub : key.subkeys)
        if (FAILED(hr = Register(hKey.Get(), sub)))
            return hr;
    return S_OK;
}

HRESULT Unregister(HKEY hParent, const CRegKey& key)
{
    if (key.flag != KeyFlag::NoRemove)
        return DeleteTree(hParent, key.strName);
    platform::CRegKey hKey;
    const LONG error = ::RegOpenKeyExA(hParent, key.strName.c_str(), 0, KEY_READ | KEY_WRITE, hKey.Put());
    if (error == ERROR_FILE_NOT_FOUND)
        return S_OK;
    if (error != ERROR_SUCCESS)
        return FromWin32(error);
    for (const CRegKey& sub : key.subkeys) {
        const HRESULT hr = Unregister(hKey.Get(), sub);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

}  // namespace

HRESULT ApplyRegistryScript(const CParseResult& script, bool bRegister)
{
    if (!script.bOk)
        return WP_E_BAD_REGISTRY_SCRIPT;
    for (const CRegRoot& root : script.roots) {
        for (const CRegKey& key : root.keys) {
            const HRESULT hr = bRegister ? Register(RootKey(root.strRoot), key) : Unregister(RootKey(root.strRoot), key);
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}

}  // namespace module
