// The Blog Editor while a post is out: the library's call runs on a thread
// of its own (publish::CPublishJob), the editor keeps answering, shows how
// far the post has come and offers Stop where the library can stop.
#include "editor/BlogOutputDlg.h"

#include "platform/Module.h"
#include "platform/RedrawPause.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"

namespace {

publish::CProgressTexts ProgressTexts()
{
    publish::CProgressTexts texts;
    texts.strPosting = platform::CModule::LoadString(IDS_POSTING);
    texts.strConnecting = platform::CModule::LoadString(IDS_POST_CONNECTING);
    texts.strUploading = platform::CModule::LoadString(IDS_POST_UPLOADING);
    texts.strCreatingPost = platform::CModule::LoadString(IDS_POST_CREATING);
    return texts;
}

}  // namespace

void CBlogOutputDlg::BeginPosting(bool bCanStop)
{
    {
        const platform::CRedrawPause pause(m_hWnd);
        // Nothing may change under the post, but only what was enabled is
        // enabled again afterwards: the hidden placeholders stay as they are.
        m_disabledWhilePosting.clear();
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            const bool bShowsThePost = hChild == m_buttonStop.GetSafeHwnd() ||
                                       hChild == m_progressBar.GetSafeHwnd() || hChild == m_labelStatus.GetSafeHwnd();
            if (::IsWindowEnabled(hChild) && !bShowsThePost) {
                ::EnableWindow(hChild, FALSE);
                m_disabledWhilePosting.push_back(hChild);
            }
        }
        m_formatButtonsWhilePosting = m_formatBar.DisableButtons();
        m_imageButtonsWhilePosting = m_imageBar.DisableButtons();
        m_checkDraft.ShowWindow(SW_HIDE);
        m_buttonCancel.ShowWindow(SW_HIDE);
        m_buttonStop.EnableWindow(bCanStop);
        m_buttonStop.ShowWindow(SW_SHOW);
        m_progressBar.SetRange(0, publish::kProgressRange);
        m_progressBar.SetPos(0);
        // A library that does not report gets a bar that moves without measuring.
        m_progressBar.SetMarquee(!bCanStop);
        m_labelStatus.SetWindowText(platform::CModule::LoadString(IDS_POSTING));
        m_labelStatus.ShowWindow(SW_SHOW);
        m_progressBar.ShowWindow(SW_SHOW);
    }
    // The focus must not stay on a disabled control, where no key reaches the dialog.
    if (bCanStop)
        GotoDlgCtrl(m_buttonStop);
    else
        ::SetFocus(m_hWnd);
}

void CBlogOutputDlg::EndPosting()
{
    {
        const platform::CRedrawPause pause(m_hWnd);
        m_progressBar.SetMarquee(false);
        m_progressBar.ShowWindow(SW_HIDE);
        m_buttonStop.ShowWindow(SW_HIDE);
        m_buttonCancel.ShowWindow(SW_SHOW);
        m_checkDraft.ShowWindow(SW_SHOW);
        for (HWND hChild : m_disabledWhilePosting)
            ::EnableWindow(hChild, TRUE);
        m_disabledWhilePosting.clear();
        m_formatBar.RestoreButtons(m_formatButtonsWhilePosting);
        m_imageBar.RestoreButtons(m_imageButtonsWhilePosting);
        m_formatButtonsWhilePosting.clear();
        m_imageButtonsWhilePosting.clear();
    }
    GotoDlgCtrl(m_buttonPost);
}

void CBlogOutputDlg::ShowProgress(const publish::CProgressReading& reading)
{
    m_progressBar.SetPos(publish::ProgressPosition(reading));
    // "Stopping..." stays until the call is back.
    if (!(m_job && m_job->StopRequested()))
        m_labelStatus.SetWindowText(publish::ProgressText(ProgressTexts(), reading));
}

void CBlogOutputDlg::OnStop(UINT /*nId*/)
{
    if (!m_job || !m_job->CanStop() || m_job->StopRequested())
        return;
    m_job->RequestStop();
    m_buttonStop.EnableWindow(false);
    m_labelStatus.SetWindowText(platform::CModule::LoadString(IDS_POST_STOPPING));
    ::SetFocus(m_hWnd);
}

void CBlogOutputDlg::OnPublishProgress()
{
    if (m_job)
        ShowProgress(m_job->TakeProgress());
}

void CBlogOutputDlg::OnPublishDone()
{
    if (!m_job)
        return;
    m_job->Join();
    const int nResult = m_job->Result();
    const bool bStopRequested = m_job->StopRequested();
    // The job's module lock goes with it; the library stays loaded until
    // FinishPost decides.
    m_job.reset();
    FinishPost(nResult, bStopRequested);
}

bool CBlogOutputDlg::SetPostingCursor(HWND hUnder)
{
    if (hUnder == m_buttonStop.GetSafeHwnd() && ::IsWindowEnabled(hUnder))
        return false;
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    return true;
}
