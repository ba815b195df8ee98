#include "platform/ActivationContext.h"

#include "platform/Module.h"

namespace platform {

namespace {

class CContextOwner {
public:
    CContextOwner()
    {
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        context.hModule = CModule::ResourceInstance();
        context.lpResourceName = MAKEINTRESOURCEW(2);  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
        const HANDLE hContext = ::CreateActCtxW(&context);
        m_hContext = hContext == INVALID_HANDLE_VALUE ? nullptr : hContext;
    }
    ~CContextOwner()
    {
        if (m_hContext)
            ::ReleaseActCtx(m_hContext);
    }
    CContextOwner(const CContextOwner&) = delete;
    CContextOwner& operator=(const CContextOwner&) = delete;

    HANDLE Get() const { return m_hContext; }

private:
    HANDLE m_hContext = nullptr;
};

// The image list functions of the library the context maps "comctl32.dll"
// to. The library stays loaded: it is a system library our module imports
// anyway, and freeing it while the module unloads is not allowed.
struct CImageListFunctions {
    decltype(&::ImageList_Create) pfnCreate = nullptr;
    decltype(&::ImageList_ReplaceIcon) pfnReplaceIcon = nullptr;
    decltype(&::ImageList_Destroy) pfnDestroy = nullptr;

    CImageListFunctions()
    {
        CActivationScope scope;
        // Inside the context the plain name is redirected to the library the
        // manifest names; a full path would bypass that.
        HMODULE hLibrary = scope.IsActive() ? ::LoadLibraryW(L"comctl32.dll") : LoadSystemLibrary("comctl32.dll");
        if (!hLibrary)
            return;
        pfnCreate = reinterpret_cast<decltype(pfnCreate)>(
            reinterpret_cast<void*>(::GetProcAddress(hLibrary, "ImageList_Create")));
        pfnReplaceIcon = reinterpret_cast<decltype(pfnReplaceIcon)>(
            reinterpret_cast<void*>(::GetProcAddress(hLibrary, "ImageList_ReplaceIcon")));
        pfnDestroy = reinterpret_cast<decltype(pfnDestroy)>(
            reinterpret_cast<void*>(::GetProcAddress(hLibrary, "ImageList_Destroy")));
    }
};

const CImageListFunctions& ImageListFunctions()
{
    static const CImageListFunctions functions;
    return functions;
}

}  // namespace

HANDLE CActivationContext::Get()
{
    static const CContextOwner owner;
    return owner.Get();
}

CActivationScope::CActivationScope()
{
    if (HANDLE hContext = CActivationContext::Get())
        m_bActive = ::ActivateActCtx(hContext, &m_nCookie) != FALSE;
}

CActivationScope::~CActivationScope()
{
    if (m_bActive)
        ::DeactivateActCtx(0, m_nCookie);
}

HIMAGELIST CreateImageList(int cx, int cy, UINT flags, int nInitial, int nGrow)
{
    const CImageListFunctions& functions = ImageListFunctions();
    return functions.pfnCreate ? functions.pfnCreate(cx, cy, flags, nInitial, nGrow) : nullptr;
}

int AddIconToImageList(HIMAGELIST hImages, HICON hIcon)
{
    const CImageListFunctions& functions = ImageListFunctions();
    return functions.pfnReplaceIcon && hImages ? functions.pfnReplaceIcon(hImages, -1, hIcon) : -1;
}

void DestroyImageList(HIMAGELIST hImages)
{
    const CImageListFunctions& functions = ImageListFunctions();
    if (functions.pfnDestroy && hImages)
        functions.pfnDestroy(hImages);
}

int ShowMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT nType)
{
    CActivationScope scope;
    return ::MessageBoxA(hOwner, pszText, pszCaption, nType);
}

int ShowMessageBox(HWND hOwner, const wchar_t* pszText, const wchar_t* pszCaption, UINT nType)
{
    CActivationScope scope;
    return ::MessageBoxW(hOwner, pszText, pszCaption, nType);
}

}  // namespace platform
