#include "publish/PublishJob.h"

namespace publish {

CPublishJob::CPublishJob(CPostArguments arguments, PFN_PUBLISH_TO_BLOG_NO_GUI pfnPublish,
                         PFN_SET_PUBLISH_PROGRESS_CALLBACK pfnProgress, DWORD dwPauseMs)
    : m_arguments(std::move(arguments)), m_pfnPublish(pfnPublish), m_pfnProgress(pfnProgress), m_dwPauseMs(dwPauseMs)
{
}

CPublishJob::~CPublishJob()
{
    Join();
}

bool CPublishJob::Start(HWND hWnd, UINT nDoneMessage, UINT nProgressMessage)
{
    m_hWnd = hWnd;
    m_nDoneMessage = nDoneMessage;
    m_nProgressMessage = nProgressMessage;
    // The timing program (send_bench) compares a post against one whose call
    // stays on the window thread, as every post did before this job: set in
    // its process only, it takes the path used when no thread can be made.
    if (::GetEnvironmentVariableW(L"WP_BENCH_CALL_ON_WINDOW_THREAD", nullptr, 0) != 0)
        return false;
    m_hThread.Reset(::CreateThread(nullptr, 0, &CPublishJob::ThreadProc, this, 0, nullptr));
    return static_cast<bool>(m_hThread);
}

void CPublishJob::Join()
{
    if (m_hThread) {
        ::WaitForSingleObject(m_hThread.Get(), INFINITE);
        m_hThread.Reset();
    }
}

DWORD WINAPI CPublishJob::ThreadProc(LPVOID pParameter)
{
    auto* pThis = static_cast<CPublishJob*>(pParameter);
    // Nothing may unwind out of a thread the system started.
    try {
        pThis->Run();
    } catch (...) {
        pThis->m_nResult = kPublishFailed;
    }
    ::PostMessageW(pThis->m_hWnd, pThis->m_nDoneMessage, 0, 0);
    return 0;
}

int __cdecl CPublishJob::OnProgress(void* pContext, int nStep, unsigned long long nDone, unsigned long long nTotal)
{
    auto* pThis = static_cast<CPublishJob*>(pContext);
    if (pThis->m_progress.Store({nStep, nDone, nTotal}))
        ::PostMessageW(pThis->m_hWnd, pThis->m_nProgressMessage, 0, 0);
    return pThis->m_bStopAsked ? 1 : 0;
}

void CPublishJob::Run()
{
    const CPostArguments& a = m_arguments;
    // The library's messages (an application password it needs) stay owned
    // by the window, although this thread shows them.
    if (m_pfnProgress)
        m_pfnProgress(&CPublishJob::OnProgress, this, m_hWnd);
    m_nResult = m_pfnPublish(a.m_nBlogType, a.m_strServer.c_str(), a.m_strEndpoint.c_str(), a.m_strImagePath.c_str(),
                             a.m_strUserName.c_str(), a.m_strPassword.c_str(), a.m_strBlogId.c_str(),
                             a.m_strTitle.c_str(), a.m_strBody.c_str(), a.m_nDraft, a.m_strBlogAddress.c_str());
    if (m_pfnProgress)
        m_pfnProgress(nullptr, nullptr, nullptr);
    // The pauses around the library's call, here so the window does not
    // stop answering for them: one after every call, another after a post.
    ::Sleep(m_dwPauseMs);
    if (m_nResult != kPublishFailed)
        ::Sleep(m_dwPauseMs);
}

}  // namespace publish
