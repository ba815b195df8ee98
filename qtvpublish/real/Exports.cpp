// The publishing library's two exports. Nothing may escape them: a caller
// across a plain C boundary cannot handle a C++ exception, so each catches
// everything and answers as for any other failure.
#include <windows.h>

#include "platform/ThreadRuntime.h"
#include "publish/PublishContract.h"
#include "publish/PublishProgress.h"
#include "qtvpublish/real/BlogListWriter.h"
#include "qtvpublish/real/PublishService.h"
#include "settings/CodePage.h"

namespace {

std::string Arg(const char* text)
{
    return text ? std::string(text) : std::string();
}

// The progress callback registered for the next post of one thread. A slim
// lock needs no set-up and no tear-down, so it is safe from any export at
// any time, DllMain's included.
struct CProgressRegistration {
    DWORD dwThread = 0;
    PFN_PUBLISH_PROGRESS pfnProgress = nullptr;
    void* pContext = nullptr;
    HWND hOwner = nullptr;
};
SRWLOCK g_registrationLock = SRWLOCK_INIT;
CProgressRegistration g_registration;

// The registration of the calling thread, taken: it serves one post.
CProgressRegistration TakeRegistration()
{
    ::AcquireSRWLockExclusive(&g_registrationLock);
    CProgressRegistration taken;
    if (g_registration.dwThread == ::GetCurrentThreadId()) {
        taken = g_registration;
        g_registration = CProgressRegistration();
    }
    ::ReleaseSRWLockExclusive(&g_registrationLock);
    return taken;
}

}  // namespace

// The accessory loads and frees this library for every post.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
{
    platform::ReleaseThreadRuntimeRecord(hInstance, dwReason, pReserved);
    return TRUE;
}

extern "C" long __cdecl GetBlogIDs(int nBlogType, const char* pszServer, const char* pszEndpoint,
                                   const char* pszUserName, const char* pszPassword, char* pszBuffer, int nCapacity)
{
    try {
        // The escaping of the blog list must see the caller's double-byte characters whole.
        settings::UseAnsiCodePage();
        const qtvpublish::CPublishService service{qtvpublish::CLibrarySettings()};
        return service.GetBlogIds(nBlogType, Arg(pszServer), Arg(pszEndpoint), Arg(pszUserName), Arg(pszPassword),
                                  pszBuffer, nCapacity);
    } catch (...) {
        if (pszBuffer && nCapacity >= 0)
            qtvpublish::CBlogListWriter().WriteTo(pszBuffer, static_cast<std::size_t>(nCapacity));
        return S_FALSE;
    }
}

extern "C" int __cdecl PublishToBlogNoGUI(int nBlogType, const char* pszServer, const char* pszEndpoint,
                                          const char* pszImagePath, const char* pszUserName, const char* pszPassword,
                                          const char* pszBlogId, const char* pszTitle, const char* pszBody,
                                          int nDraft, const char* pszBlogAddress)
{
    try {
        qtvpublish::CPostRequest post;
        post.m_nBlogType = nBlogType;
        post.m_strServer = Arg(pszServer);
        post.m_strEndpoint = Arg(pszEndpoint);
        post.m_strImagePath = Arg(pszImagePath);
        post.m_strUser = Arg(pszUserName);
        post.m_strPassword = Arg(pszPassword);
        post.m_strBlogId = Arg(pszBlogId);
        post.m_strTitle = Arg(pszTitle);
        post.m_strBody = Arg(pszBody);
        post.m_bDraft = nDraft == 1;
        const CProgressRegistration registration = TakeRegistration();
        qtvpublish::CProgressReport progress(registration.pfnProgress, registration.pContext);
        post.m_hOwner = registration.hOwner;
        post.m_pProgress = &progress;
        const qtvpublish::CPublishService service{qtvpublish::CLibrarySettings()};
        return service.Publish(post);
    } catch (...) {
        return kPublishFailed;
    }
}

extern "C" void __cdecl SetPublishProgressCallback(PFN_PUBLISH_PROGRESS pfnProgress, void* pContext, void* hOwner)
{
    ::AcquireSRWLockExclusive(&g_registrationLock);
    g_registration.dwThread = pfnProgress ? ::GetCurrentThreadId() : 0;
    g_registration.pfnProgress = pfnProgress;
    g_registration.pContext = pfnProgress ? pContext : nullptr;
    g_registration.hOwner = pfnProgress ? static_cast<HWND>(hOwner) : nullptr;
    ::ReleaseSRWLockExclusive(&g_registrationLock);
}

// The signatures above must stay those the accessory looks up.
[[maybe_unused]] constexpr PFN_GET_BLOG_IDS kGetBlogIdsSignature = &GetBlogIDs;
[[maybe_unused]] constexpr PFN_PUBLISH_TO_BLOG_NO_GUI kPublishSignature = &PublishToBlogNoGUI;
[[maybe_unused]] constexpr PFN_SET_PUBLISH_PROGRESS_CALLBACK kProgressSignature = &SetPublishProgressCallback;
