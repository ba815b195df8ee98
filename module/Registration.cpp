#include "module/Registration.h"

#include <oleauto.h>

#include "module/ClassIds.h"
#include "module/Registrar.h"
#include "module/RegistryViews.h"
#include "platform/ComPtr.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "res/resource.h"
#include "util/PathRules.h"

namespace module {

namespace {

const char kAppId[] = "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}";
// {3EC0485E-2819-482A-A879-ED903FEB3078}
const GUID kLibId = {0x3EC0485E, 0x2819, 0x482A, {0xA8, 0x79, 0xED, 0x90, 0x3F, 0xEB, 0x30, 0x78}};
const UINT kClassScripts[] = {IDR_REGISTRY_PACKAGE, IDR_REGISTRY_OUTPUT};

// Registration runs in the system's default locale, whatever the caller's.
class CSystemLocaleScope {
public:
    CSystemLocaleScope() : m_lcid(::GetThreadLocale()) { ::SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
    ~CSystemLocaleScope() { ::SetThreadLocale(m_lcid); }

private:
    LCID m_lcid;
};

// The scripts of one run, parsed before anything is written: a malformed
// script then fails the whole run with nothing half-written.
struct CParsedScripts {
    CParseResult module;
    CParseResult classes[2];
    HRESULT hr = S_OK;
};

CParsedScripts ParseAll(IScriptSource& source)
{
    const std::string modulePath = platform::CModule::FileName();
    const Replacements replacements = {{"MODULE", modulePath}, {"APPID", kAppId}};
    CParsedScripts parsed;
    // The scripts are 8-bit text: a module path they cannot carry would
    // register a server that is not there.
    if (modulePath.empty()) {
        parsed.hr = HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION);
        return parsed;
    }
    auto parse = [&](UINT id, CParseResult& out) {
        std::string text;
        if (!source.LoadScript(id, text)) {
            parsed.hr = HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
            return false;
        }
        out = ParseRegistryScript(text, replacements);
        if (!out.bOk) {
            ::OutputDebugStringA(("registry script " + std::to_string(id) + ": " + out.strError + "\n").c_str());
            parsed.hr = WP_E_BAD_REGISTRY_SCRIPT;
            return false;
        }
        return true;
    };
    if (parse(IDR_REGISTRY_MODULE, parsed.module))
        for (std::size_t i = 0; i < 2 && parse(kClassScripts[i], parsed.classes[i]); ++i) {
        }
    return parsed;
}

std::wstring ModulePath() { return platform::CModule::WideFileName(); }

HRESULT RegisterTypeLibrary()
{
    std::wstring path = ModulePath();
    platform::CComPtr<ITypeLib> spTypeLib;
    HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, spTypeLib.Put());
    if (FAILED(hr))
        return hr;
    std::wstring helpFolder = path.substr(0, path.find_last_of(L'\\'));
    return ::RegisterTypeLib(spTypeLib.Get(), &path[0], &helpFolder[0]);
}

HRESULT UnregisterTypeLibrary()
{
    // Removes this platform's entry only; the version key goes with the last.
    const HRESULT hr = ::UnRegisterTypeLib(kLibId, 1, 0, 0x0409, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    // Not registered is what unregistration wants.
    return hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY ? S_OK : hr;
}

// True while the build of the other bitness has a class of ours registered in
// its registry view. On 32-bit Windows there is one view, where our own class
// keys are gone by the time this is asked.
bool OtherBuildRegistered()
{
    const REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    for (const CLSID* clsid : {&CLSID_WordPressOutput, &CLSID_Package}) {
        wchar_t text[40] = {};
        ::StringFromGUID2(*clsid, text, 40);
        const std::wstring path = L"CLSID\\" + std::wstring(text) + L"\\InprocServer32";
        platform::CRegKey hKey;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | otherView, hKey.Put()) == ERROR_SUCCESS)
            return true;
    }
    return false;
}

}  // namespace

bool CResourceScripts::LoadScript(UINT id, std::string& script)
{
    HINSTANCE hModule = platform::CModule::ResourceInstance();
    HRSRC hInfo = ::FindResourceA(hModule, MAKEINTRESOURCEA(id), "REGISTRY");
    HGLOBAL hData = hInfo ? ::LoadResource(hModule, hInfo) : nullptr;
    const void* bytes = hData ? ::LockResource(hData) : nullptr;
    if (!bytes)
        return false;
    script.assign(static_cast<const char*>(bytes), ::SizeofResource(hModule, hInfo));
    return true;
}

HRESULT RegisterServer(IScriptSource& source)
{
    CSystemLocaleScope locale;
    CParsedScripts scripts = ParseAll(source);
    if (FAILED(scripts.hr))
        return scripts.hr;
    HRESULT hr = ApplyRegistryScript(scripts.module, true);
    for (const CParseResult& script : scripts.classes)
        if (SUCCEEDED(hr))
            hr = ApplyRegistryScript(script, true);
    if (SUCCEEDED(hr))
        hr = RegisterTypeLibrary();
    return hr;
}

HRESULT UnregisterServer(IScriptSource& source)
{
    CSystemLocaleScope locale;
    CParsedScripts scripts = ParseAll(source);
    if (FAILED(scripts.hr))
        return scripts.hr;
    HRESULT hr = S_OK;
    for (const CParseResult& script : scripts.classes)
        if (SUCCEEDED(hr))
            hr = ApplyRegistryScript(KeysOfView(script, KeyView::PerView), false);
    if (SUCCEEDED(hr))
        hr = UnregisterTypeLibrary();
    // The ProgIDs and the AppID stay for the other build while it is registered.
    if (FAILED(hr) || OtherBuildRegistered())
        return hr;
    for (const CParseResult& script : scripts.classes)
        if (SUCCEEDED(hr))
            hr = ApplyRegistryScript(KeysOfView(script, KeyView::Shared), false);
    if (SUCCEEDED(hr))
        hr = ApplyRegistryScript(scripts.module, false);
    return hr;
}

}  // namespace module
