// "&Post" of the Blog Editor: the entry's RTF becomes the post's HTML around
// the capture's image block, and the publishing library posts it.
#include <windows.h>

#include <optional>

#include "editor/BlogOutputDlg.h"
#include "platform/ActivationContext.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "publish/DebugDump.h"
#include "publish/ImageFileSize.h"
#include "publish/PublishJob.h"
#include "publish/PostComposition.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
#include "rtf2html/CodePages.h"

namespace {

constexpr char kDebugFolder[] = "c:\\DebugBlogHTML";
constexpr DWORD kLibraryPauseMs = 100;

publish::ImagePlacement PlacementOfCommand(UINT nId)
{
    switch (nId) {
    case ID_ALIGN_IMAGE_RIGHT: return publish::ImagePlacement::Right;
    case ID_ALIGN_IMAGE_TOP: return publish::ImagePlacement::Top;
    case ID_ALIGN_IMAGE_BOTTOM: return publish::ImagePlacement::Bottom;
    default: return publish::ImagePlacement::Left;
    }
}

// The character in the ANSI code page, or nothing when the page has no such
// character; best-fit look-alikes do not count.
std::optional<std::string> EncodeInCodePage(char32_t c)
{
    const std::wstring wide(1, static_cast<wchar_t>(c));
    if (!platform::FitsCodePage(wide))
        return std::nullopt;
    return platform::AnsiFromWide(wide);
}

}  // namespace

std::string CBlogOutputDlg::ReadTitle() const
{
    const int n = ::GetWindowTextLengthW(m_editTitle);
    std::wstring wide(static_cast<std::size_t>(n) + 1, L'\0');
    wide.resize(static_cast<std::size_t>(::GetWindowTextW(m_editTitle, &wide[0], n + 1)));
    return publish::EncodeTitle(std::u16string(wide.begin(), wide.end()), EncodeInCodePage);
}

void CBlogOutputDlg::ComposeAndPublish()
{
    platform::CWaitCursor wait;
    m_strRtf = m_editEntry.StreamOut(SF_RTF);
    const std::string rtfAsStreamed = m_strRtf;
    m_strRtf = publish::TrimFinalParagraph(m_strRtf);
    m_strHtml = publish::ConvertEntry(m_strRtf, &rtf2html::WindowsCodePages());

    const std::string sizeAttributes = publish::ImageSizeAttributes(
        [&]() -> std::optional<publish::CImageSize> {
            const auto size = publish::ReadImageFileSize(m_strImagePath);
            if (!size)
                return std::nullopt;
            return publish::ScaleToPostWidth(size->m_nWidth, size->m_nHeight);
        }());
    const std::string title = ReadTitle();
    const std::string altText =
        publish::ImageAltText(title, platform::CModule::LoadString(IDS_IMAGE_ALT_TEXT));
    m_strHtml = publish::ComposeBody(m_strHtml, PlacementOfCommand(PressedImagePlacement()), sizeAttributes, altText);

    if (const publish::CDebugDumpFolder dump(kDebugFolder); dump.IsUsable()) {
        dump.Write("rtf.rtf", rtfAsStreamed);
        dump.Write("html.htm", m_strHtml);
        const std::string question = publish::DebugDumpQuestion(kDebugFolder);
        if (platform::ShowMessageBox(m_hWnd, question.c_str(), platform::CModule::LoadString(IDS_APP_TITLE).c_str(),
                          MB_YESNO | MB_ICONQUESTION) == IDNO)
            return;
    }

    // The library is freed after a post, so a second press after a failure
    // loads it again.
    if (!publish::g_hPublishLibrary)
        publish::LoadPublishLibrary(m_strLibraryPath);
    const PFN_PUBLISH_TO_BLOG_NO_GUI pfnPublish = publish::PublishFunction();
    if (!pfnPublish) {
        platform::ShowMessageBox(m_hWnd, platform::CModule::LoadString(IDS_NO_PUBLISH_LIBRARY).c_str(),
                      platform::CModule::LoadString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    const int nDraft = m_checkDraft.IsChecked() ? 1 : 0;
    std::string blogId;
    const int nChosen = m_listBlogs.GetCurSel();
    if (nChosen >= 0 && static_cast<std::size_t>(nChosen) < m_blogIds.size()) {
        blogId = m_blogIds[static_cast<std::size_t>(nChosen)];
        if (static_cast<std::size_t>(nChosen) < m_blogAddresses.size())
            m_strBlogAddress = m_blogAddresses[static_cast<std::size_t>(nChosen)];
    }

    publish::CPostArguments arguments;
    arguments.m_nBlogType = m_nBlogType;
    arguments.m_strServer = m_strServer;
    arguments.m_strEndpoint = m_strEndpoint;
    arguments.m_strImagePath = m_strImagePath;
    arguments.m_strUserName = m_strUserName;
    arguments.m_strPassword = m_strPassword;
    arguments.m_strBlogId = blogId;
    arguments.m_strTitle = title;
    arguments.m_strBody = m_strHtml;
    arguments.m_nDraft = nDraft;
    arguments.m_strBlogAddress = m_strBlogAddress;
    // Only the call leaves this thread: a large capture on a slow upload
    // takes long enough for the host to be called not responding.
    m_job = std::make_unique<publish::CPublishJob>(std::move(arguments), pfnPublish, publish::ProgressFunction(),
                                                   kLibraryPauseMs);
    if (m_job->Start(m_hWnd, kPublishDoneMessage, kPublishProgressMessage)) {
        BeginPosting(m_job->CanStop());
        return;
    }
    m_job->RunHere();
    const int nResult = m_job->Result();
    m_job.reset();
    FinishPost(nResult, false);
}

void CBlogOutputDlg::FinishPost(int nResult, bool bStopRequested)
{
    if (!m_disabledWhilePosting.empty() || m_buttonStop.IsWindowVisible())
        EndPosting();
    const std::string caption = platform::CModule::LoadString(IDS_APP_TITLE);
    if (nResult == kPublishFailed) {
        // Nothing the user wrote may be lost: the editor stays as it was,
        // with the library at hand for another try. A stop the user asked
        // for needs no warning.
        if (bStopRequested) {
            m_labelStatus.SetWindowText(platform::CModule::LoadString(IDS_POST_STOPPED));
            m_labelStatus.ShowWindow(SW_SHOW);
            return;
        }
        m_labelStatus.ShowWindow(SW_HIDE);
        const std::string text = platform::CModule::LoadString(IDS_UNABLE_TO_SEND) + "\n\n" +
                                 platform::CModule::LoadString(IDS_POST_FAILED_HINT);
        platform::ShowMessageBox(m_hWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // Too late to stop: the user must not believe the entry is not on the blog.
    if (bStopRequested)
        platform::ShowMessageBox(m_hWnd, platform::CModule::LoadString(IDS_POSTED_BEFORE_STOP).c_str(), caption.c_str(),
                      MB_OK | MB_ICONINFORMATION);
    publish::ReleasePublishLibrary();
    EndDialog(IDOK);
}
