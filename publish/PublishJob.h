#pragma once
// One post handed to the publishing library on a thread of its own, so the
// window that started it keeps answering: the inputs gathered on the window
// thread, the library's call on the worker, the result posted back to the
// window as a message. While the job lives the module stays loaded (a module
// lock), and the library with it (the window frees it only after the result
// came back); destroying the job waits for the call to return.
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/Module.h"
#include "platform/UniqueHandle.h"
#include "publish/PostProgress.h"
#include "publish/PublishContract.h"
#include "publish/PublishProgress.h"

namespace publish {

// The arguments of "PublishToBlogNoGUI", in its order.
struct CPostArguments {
    int m_nBlogType = 0;
    std::string m_strServer;
    std::string m_strEndpoint;
    std::string m_strImagePath;
    std::string m_strUserName;
    std::string m_strPassword;
    std::string m_strBlogId;
    std::string m_strTitle;
    std::string m_strBody;
    int m_nDraft = 0;
    std::string m_strBlogAddress;
};

class CPublishJob {
public:
    // pfnProgress may be null: the library cannot report or stop.
    CPublishJob(CPostArguments arguments, PFN_PUBLISH_TO_BLOG_NO_GUI pfnPublish,
                PFN_SET_PUBLISH_PROGRESS_CALLBACK pfnProgress, DWORD dwPauseMs);
    ~CPublishJob();
    CPublishJob(const CPublishJob&) = delete;
    CPublishJob& operator=(const CPublishJob&) = delete;

    // Starts the call; hWnd gets nDoneMessage when it has returned (and the
    // pauses after it are over), nProgressMessage when a report waits in
    // Progress(). False when no thread could be made: nothing was called.
    bool Start(HWND hWnd, UINT nDoneMessage, UINT nProgressMessage);
    // Makes the call on the calling thread, for when no thread could be made.
    void RunHere() { Run(); }
    // Waits for the call; then Result() holds its answer.
    void Join();

    bool CanStop() const { return m_pfnProgress != nullptr; }
    // Asks the library to stop at its next report; it decides whether the
    // entry was already posted.
    void RequestStop() { m_bStopAsked = true; }
    bool StopRequested() const { return m_bStopAsked; }
    int Result() const { return m_nResult; }
    CProgressReading TakeProgress() { return m_progress.Take(); }

private:
    static DWORD WINAPI ThreadProc(LPVOID pParameter);
    static int __cdecl OnProgress(void* pContext, int nStep, unsigned long long nDone, unsigned long long nTotal);
    void Run();

    CPostArguments m_arguments;
    PFN_PUBLISH_TO_BLOG_NO_GUI m_pfnPublish;
    PFN_SET_PUBLISH_PROGRESS_CALLBACK m_pfnProgress;
    DWORD m_dwPauseMs;
    HWND m_hWnd = nullptr;
    UINT m_nDoneMessage = 0;
    UINT m_nProgressMessage = 0;
    CProgressExchange m_progress;
    std::atomic<bool> m_bStopAsked{false};
    int m_nResult = kPublishFailed;
    platform::CModuleLock m_moduleLock;
    platform::CHandle m_hThread;
};

}  // namespace publish
