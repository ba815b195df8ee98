// "&Post" of the Blog Editor: the entry's RTF becomes the post's HTML around
// the capture's image block, and the publishing library posts it.
#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <optional>

#include "editor/BlogOutputDlg.h"
#include "notify/GdiplusSession.h"
#include "platform/ActivationContext.h"
#include "platform/Module.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"
#include "publish/PostComposition.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
#include "rtf2html/CodePages.h"
#include "util/FileUtil.h"

namespace {

constexpr char kDebugFolder[] = "c:\\DebugBlogHTML";
constexpr DWORD kLibraryPauseMs = 100;

std::optional<publish::CImageSize> DecodedImageSize(const std::string& path)
{
    notify::CGdiplusSession gdiplus;
    if (!gdiplus.IsStarted())
        return std::nullopt;
    Gdiplus::Bitmap image(platform::WideFromAnsi(path).c_str());
    if (image.GetLastStatus() != Gdiplus::Ok)
        return std::nullopt;
    return publish::CImageSize{static_cast<int>(image.GetWidth()), static_cast<int>(image.GetHeight())};
}

// Written in text mode, replacing any old file; one that cannot be opened is
// skipped.
void WriteDumpFile(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wt");
    if (!file)
        return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

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
            const auto size = DecodedImageSize(m_strImagePath);
            if (!size)
                return std::nullopt;
            return publish::ScaleToPostWidth(size->m_nWidth, size->m_nHeight);
        }());
    m_strHtml = publish::ComposeBody(m_strHtml, PlacementOfCommand(PressedImagePlacement()), sizeAttributes);

    if (util::DirectoryExists(kDebugFolder)) {
        WriteDumpFile(std::string(kDebugFolder) + "\\rtf.rtf", rtfAsStreamed);
        WriteDumpFile(std::string(kDebugFolder) + "\\html.htm", m_strHtml);
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

    const std::string title = ReadTitle();
    const int nDraft = m_checkDraft.IsChecked() ? 1 : 0;
    std::string blogId;
    const int nChosen = m_listBlogs.GetCurSel();
    if (nChosen >= 0 && static_cast<std::size_t>(nChosen) < m_blogIds.size()) {
        blogId = m_blogIds[static_cast<std::size_t>(nChosen)];
        if (static_cast<std::size_t>(nChosen) < m_blogAddresses.size())
            m_strBlogAddress = m_blogAddresses[static_cast<std::size_t>(nChosen)];
    }

    const int nResult = pfnPublish(m_nBlogType, m_strServer.c_str(), m_strEndpoint.c_str(), m_strImagePath.c_str(),
                                   m_strUserName.c_str(), m_strPassword.c_str(), blogId.c_str(), title.c_str(),
                                   m_strHtml.c_str(), nDraft, m_strBlogAddress.c_str());
    ::Sleep(kLibraryPauseMs);
    if (nResult == kPublishFailed) {
        // Nothing the user wrote may be lost: the editor stays as it was,
        // with the library at hand for another try.
        const std::string text = platform::CModule::LoadString(IDS_UNABLE_TO_SEND) + "\n\n" +
                                 platform::CModule::LoadString(IDS_POST_FAILED_HINT);
        platform::ShowMessageBox(m_hWnd, text.c_str(), platform::CModule::LoadString(IDS_APP_TITLE).c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ::Sleep(kLibraryPauseMs);
    publish::ReleasePublishLibrary();
    EndDialog(IDOK);
}
