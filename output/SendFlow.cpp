// The send and options requests. A send needs the capture saved as an image
// file; everything after that reports its own failures.
#include <windows.h>
#include <shellapi.h>

#include "account/BlogOptionsDlg.h"
#include "account/BlogType.h"
#include "notify/ToasterPopupWnd.h"
#include "output/OutputRules.h"
#include "output/PostContext.h"
#include "output/WordPressOutput.h"
#include "platform/Dpi.h"
#include "platform/Module.h"
#include "res/resource.h"
#include "util/DpiRules.h"
#include "util/FileUtil.h"

namespace {

constexpr int kPopupDisplayMs = 4000;
constexpr int kPopupWidth = 400;
constexpr int kPopupHeight = 100;
constexpr int kPopupSlideMs = 500;

void OpenBlog(std::string strLink)
{
    // The address is the blog service's answer: only a web address goes to
    // the shell, never a path or a program.
    if (output::IsWebAddress(strLink))
        ::ShellExecuteA(nullptr, "open", strLink.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace

bool CWordPressOutput::SendCapture()
{
    const std::string imagePath = SaveImageCopy();
    if (imagePath.empty())
        return false;

    PostContext context;
    context.m_hParentWindow = GetMainWindow();
    context.m_hSmallIcon.Reset(static_cast<HICON>(::LoadImageW(platform::CModule::ResourceInstance(),
                                                               MAKEINTRESOURCEW(IDI_SMALL_WORDPRESS), IMAGE_ICON,
                                                               16, 16, LR_DEFAULTCOLOR)));
    context.m_nBlogType = account::kBlogTypeWordPress;
    context.m_strAccessoryFolder = m_strAccessoryFolder;
    context.m_strHelpPath = context.HelpPath();
    context.m_strDataFolder = m_strDataFolder;
    context.m_strImagePath = imagePath;
    context.SetLoginTitle();
    context.Run();
    if (!context.m_strBlogAddress.empty())
        AnnouncePost(context.m_strBlogAddress, context.m_hParentWindow);
    return true;
}

void CWordPressOutput::AnnouncePost(const std::string& blogAddress, HWND hMainWindow) const
{
    auto* popup = new CToasterPopupWnd(kPopupDisplayMs, kPopupWidth, kPopupHeight, kPopupSlideMs);
    popup->m_pfnClick = OpenBlog;
    popup->SetLink(blogAddress);
    popup->SetTitle(platform::CModule::LoadString(IDS_CAPTURE_POSTED));
    popup->SetText(output::PopupDisplayText(blogAddress));
    popup->m_bLinkStyle = 1;
    // The popup draws its icon at 32 pixels a scale: one loaded for that size
    // is crisp where the host's 32-pixel one would be stretched. The popup
    // keeps a copy, so this one may go when Show returns.
    const int nIconSize = util::ScaleForDpi(32, platform::DpiOfWindow(hMainWindow));
    platform::CIcon scaledIcon;
    if (nIconSize != 32 && !m_strAccessoryFolder.empty())
        scaledIcon.Reset(static_cast<HICON>(::LoadImageW(nullptr, (m_strAccessoryFolder + L"WordPress.ico").c_str(),
                                                         IMAGE_ICON, nIconSize, nIconSize, LR_LOADFROMFILE)));
    popup->m_hIcon = scaledIcon.Get() ? scaledIcon.Get() : m_hLargeIcon.Get();
    popup->m_hHostWindow = hMainWindow;
    // The popup frees itself, also when its window cannot be made.
    popup->Show();
    util::BringWindowToForeground(hMainWindow);
}

void CWordPressOutput::RunOptions()
{
    PostContext context;
    context.m_hParentWindow = GetMainWindow();
    context.m_strDataFolder = m_strDataFolder;
    context.m_strAccessoryFolder = m_strAccessoryFolder;
    context.m_strHelpPath = context.HelpPath();
    context.m_nBlogType = account::kBlogTypeWordPress;
    context.SetLoginTitle();

    BlogOptionsDlg dlg(context.m_hParentWindow);
    dlg.SetTitle(context.m_strLoginTitle);
    dlg.SetHelpPath(context.m_strHelpPath);
    dlg.SetShowServerFields(account::UsesServerFields(context.m_nBlogType));
    int nAlwaysUse = 0;
    if (context.ReadPreferences(nAlwaysUse) && nAlwaysUse == 1 && context.LoadStoredLogin())
        dlg.SetInitialValues(context.m_strLoginTitle, context.m_strUserName, context.m_strPassword,
                             context.m_strServer, context.m_strEndpoint);
    if (dlg.DoModal() != IDOK)
        return;
    context.m_strUserName = dlg.m_strUserName;
    context.m_strPassword = dlg.m_strPassword;
    context.m_strServer = dlg.m_strServer;
    context.m_strEndpoint = dlg.m_strEndpoint;
    context.WritePreferences(dlg.m_bAlwaysUse);
}
