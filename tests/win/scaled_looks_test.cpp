// The accessory as a user sees it at other display scales and under Wine's
// "Light" theme. Wine reads the DPI and the theme when a process starts, so
// each case sets them in the prefix, runs a child of this program that
// declares itself DPI-aware as a system-aware host does, and puts the
// prefix back as it was. The children are disabled tests, run only so.
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "account/BlogAuth.h"
#include "account/BlogType.h"
#include "account/LoginTitle.h"
#include "editor/BlogOutputDlg.h"
#include "notify/ToasterPopupWnd.h"
#include "platform/ActivationContext.h"
#include "platform/Dpi.h"
#include "platform/UniqueHandle.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/PopupDriver.h"
#include "support/UiDriver.h"
#include "util/DpiRules.h"
#include "util/DpiRules.h"

using namespace dialog_test;
using namespace editor_test;

namespace {

// One value of the current user's registry, put back (or removed again) when
// the owner goes.
class CRegistryValueGuard {
public:
    CRegistryValueGuard(const wchar_t* pszKey, const wchar_t* pszName) : m_key(pszKey), m_name(pszName)
    {
        DWORD cb = 0;
        m_bExisted = ::RegGetValueW(HKEY_CURRENT_USER, pszKey, pszName, RRF_RT_ANY | RRF_NOEXPAND, &m_dwType,
                                    nullptr, &cb) == ERROR_SUCCESS;
        if (m_bExisted) {
            m_data.resize(cb);
            m_bExisted = ::RegGetValueW(HKEY_CURRENT_USER, pszKey, pszName, RRF_RT_ANY | RRF_NOEXPAND, &m_dwType,
                                        m_data.data(), &cb) == ERROR_SUCCESS;
            m_data.resize(cb);
        }
    }
    ~CRegistryValueGuard()
    {
        if (m_bExisted)
            ::RegSetKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), m_name.c_str(), m_dwType, m_data.data(),
                              static_cast<DWORD>(m_data.size()));
        else
            ::RegDeleteKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), m_name.c_str());
    }
    CRegistryValueGuard(const CRegistryValueGuard&) = delete;
    CRegistryValueGuard& operator=(const CRegistryValueGuard&) = delete;

    bool Set(DWORD dwValue) const
    {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), m_name.c_str(), REG_DWORD, &dwValue,
                                 sizeof dwValue) == ERROR_SUCCESS;
    }
    bool Set(const std::wstring& text) const
    {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, m_key.c_str(), m_name.c_str(), REG_SZ, text.c_str(),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

private:
    std::wstring m_key;
    std::wstring m_name;
    bool m_bExisted = false;
    DWORD m_dwType = 0;
    std::vector<BYTE> m_data;
};

// Runs the disabled test of this program named by the filter in a child
// process with one environment variable set; its exit code.
DWORD RunChild(const std::string& filter, const char* pszVariable, const std::string& value)
{
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_also_run_disabled_tests --gtest_filter=" + filter;
    ::SetEnvironmentVariableA(pszVariable, value.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL bStarted = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                           &startup, &process);
    ::SetEnvironmentVariableA(pszVariable, nullptr);
    if (!bStarted)
        return static_cast<DWORD>(-1);
    const platform::CHandle hProcess(process.hProcess), hThread(process.hThread);
    DWORD dwExit = static_cast<DWORD>(-1);
    // Well inside the test's own time limit: a stuck child is ended here, so
    // the parent still lives to put the prefix's display settings back.
    if (::WaitForSingleObject(hProcess.Get(), 30000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(hProcess.Get(), &dwExit);
    } else {
        ::TerminateProcess(hProcess.Get(), 1);
        ::WaitForSingleObject(hProcess.Get(), 5000);
    }
    return dwExit;
}

int DpiAsked()
{
    const char* pszDpi = std::getenv("WP_LOOKS_DPI");
    return pszDpi ? std::atoi(pszDpi) : 0;
}

// As a host whose manifest says it is DPI-aware (system-wide).
void DeclareDpiAware()
{
    using SetAwareFn = BOOL(WINAPI*)();
    if (auto pfn = reinterpret_cast<SetAwareFn>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"))))
        pfn();
}

bool HasTheme(HWND hControl)
{
    using GetThemeFn = HTHEME(WINAPI*)(HWND);
    HMODULE hUxTheme = ::GetModuleHandleW(L"uxtheme.dll");
    auto pfn = hUxTheme ? reinterpret_cast<GetThemeFn>(
                              reinterpret_cast<void*>(::GetProcAddress(hUxTheme, "GetWindowTheme")))
                        : nullptr;
    return pfn && pfn(hControl) != nullptr;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The size of the images in a toolbar's list, asked of the library that
// made the toolbar.
SIZE ImageSize(HWND hBar)
{
    using GetIconSizeFn = BOOL(WINAPI*)(HIMAGELIST, int*, int*);
    HMODULE hLibrary = nullptr;
    {
        platform::CActivationScope scope;
        hLibrary = ::LoadLibraryW(L"comctl32.dll");
    }
    auto pfn = reinterpret_cast<GetIconSizeFn>(
        reinterpret_cast<void*>(::GetProcAddress(hLibrary, "ImageList_GetIconSize")));
    HIMAGELIST hImages = reinterpret_cast<HIMAGELIST>(::SendMessageW(hBar, TB_GETIMAGELIST, 0, 0));
    int cx = 0, cy = 0;
    if (pfn && hImages)
        pfn(hImages, &cx, &cy);
    return SIZE{cx, cy};
}

void CheckEditorAt(HWND h, int dpi)
{
    const struct {
        HWND hBar;
        int nFrame;
        int nBase;
    } bars[] = {{FormatBar(h), IDC_EDITOR_FORMAT_FRAME, 16}, {ImageBar(h), IDC_EDITOR_IMAGE_FRAME, 60}};
    for (const auto& bar : bars) {
        SCOPED_TRACE(bar.nBase);
        const SIZE size = ImageSize(bar.hBar);
        EXPECT_EQ(size.cx, util::IconSizeForDpi(bar.nBase, dpi));
        EXPECT_EQ(size.cy, util::IconSizeForDpi(bar.nBase, dpi));
        // The bar fills its frame, and every button lies inside the bar.
        const RECT rcBar = ui::RectIn(bar.hBar, h);
        const RECT rcFrame = ItemRect(h, bar.nFrame);
        EXPECT_TRUE(::EqualRect(&rcBar, &rcFrame));
        RECT rcClient{};
        ::GetClientRect(bar.hBar, &rcClient);
        const int n = static_cast<int>(::SendMessageW(bar.hBar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            RECT rcButton{};
            ::SendMessageW(bar.hBar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rcButton));
            EXPECT_TRUE(Inside(rcButton, rcClient)) << "button " << i << " right " << rcButton.right << " bottom "
                                                     << rcButton.bottom << " of " << rcClient.right << " x "
                                                     << rcClient.bottom;
        }
    }
    for (int i = 0; i < 4; ++i) {
        RECT rcButton{};
        ::SendMessageW(ImageBar(h), TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rcButton));
        ::MapWindowPoints(ImageBar(h), h, reinterpret_cast<POINT*>(&rcButton), 2);
        const RECT rcCaption = ItemRect(h, IDC_EDITOR_CAPTION_FIRST + i);
        EXPECT_NEAR((rcCaption.left + rcCaption.right) / 2, (rcButton.left + rcButton.right) / 2, 3) << i;
        // Below its button, not over it.
        EXPECT_GE(rcCaption.top, rcButton.bottom - 1) << i;
    }
}

// As the send hands it to the popup: drawn for the scale, not stretched.
platform::CIcon AccessoryIcon(int dpi)
{
    const int nSize = util::ScaleForDpi(32, dpi);
    return platform::CIcon(static_cast<HICON>(
        ::LoadImageA(nullptr, WP_ACCESSORY_DIR "WordPress.ico", IMAGE_ICON, nSize, nSize, LR_LOADFROMFILE)));
}

void CheckPopupAt(int dpi)
{
    const platform::CIcon icon = AccessoryIcon(dpi);
    auto* popup = new CToasterPopupWnd(0, 400, 100, 0);
    popup->SetTitle("Capture posted to blog");
    popup->SetText("my.example.blog/2026/12/10/a-rather-long-address-of-the-post-that-wraps/");
    popup->m_hIcon = icon.Get();
    HWND hWnd = popup->GetSafeHwnd();
    popup->Show();
    ASSERT_TRUE(::IsWindow(hWnd));
    EXPECT_EQ(popup->GetDpi(), dpi);
    const RECT rc = ui::ScreenRect(hWnd);
    EXPECT_EQ(rc.right - rc.left, util::ScaleForDpi(400, dpi));
    EXPECT_EQ(rc.bottom - rc.top, util::ScaleForDpi(100, dpi));
    popup_driver::Pump(50);

    // The icon is drawn whole in its box; the text's box starts right of it.
    const notify::CPopupLayout layout = notify::LayOutPopup(rc.right - rc.left, rc.bottom - rc.top, true, dpi);
    HDC hdc = ::GetDC(hWnd);
    const COLORREF corner = ::GetPixel(hdc, layout.text.x + layout.text.width - 2, layout.gradient.y + 2);
    int nIconInk = 0, nTextInk = 0;
    for (int y = layout.icon.y; y < layout.icon.y + layout.icon.height; ++y)
        for (int x = layout.icon.x; x < layout.icon.x + layout.icon.width; ++x)
            nIconInk += ::GetPixel(hdc, x, y) != corner ? 1 : 0;
    for (int y = layout.text.y; y < layout.text.y + layout.text.height; ++y)
        for (int x = layout.text.x; x < layout.text.x + layout.text.width; ++x)
            nTextInk += GetRValue(::GetPixel(hdc, x, y)) < 100 ? 1 : 0;
    ::ReleaseDC(hWnd, hdc);
    EXPECT_GT(nIconInk, layout.icon.width * layout.icon.height / 4);
    EXPECT_GT(nTextInk, 10 * dpi / 96);
    if (dpi == 144 || dpi == 192) {
        EXPECT_TRUE(ui::Screenshot(hWnd, std::string(WP_SCREENSHOTS_DIR) + "popup-" + std::to_string(dpi) + "dpi.png"));
    }
    ::DestroyWindow(hWnd);
}

}  // namespace

TEST(DISABLED_ScaledChild, EditorAndPopup)
{
    const int dpi = DpiAsked();
    ASSERT_GT(dpi, 0);
    DeclareDpiAware();
    ASSERT_EQ(platform::DpiOfWindow(nullptr), dpi);

    CEditorSetup setup(BlogsXml({{"1", "Apples", "http://a.example/"}, {"2", "Pears", "http://p.example/"}}));
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        CheckEditorAt(h, dpi);
        if (dpi == 144 || dpi == 192) {
            ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Sunday at the lake");
            EXPECT_TRUE(Shoot(h, "editor-" + std::to_string(dpi) + "dpi.png"));
        }
        EXPECT_TRUE(CloseDiscarding(h));
    });
    CheckPopupAt(dpi);
}

TEST(DISABLED_ThemedChild, EditorAndLogIn)
{
    CEditorSetup setup(BlogsXml({{"1", "Apples", "http://a.example/"}, {"2", "Pears", "http://p.example/"}}));
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        EXPECT_TRUE(HasTheme(ui::Control(h, ID_POST)));
        EXPECT_TRUE(HasTheme(ui::Control(h, IDC_EDITOR_DRAFT)));
        EXPECT_TRUE(HoverUntilToolTip(FormatBar(h), 0, "Bold (Ctrl+B)"));
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "Sunday at the lake");
        EXPECT_TRUE(Shoot(h, "editor-themed.png"));
        EXPECT_TRUE(CloseDiscarding(h));
    });
    BlogAuth login;
    login.SetTitle(account::LoginTitle(account::kBlogTypeWordPress));
    RunDialog(login, "WordPress.com Login", [&](HWND h) {
        EXPECT_TRUE(HasTheme(ui::Control(h, IDOK)));
        EXPECT_TRUE(HasTheme(ui::Control(h, IDC_AUTH_ALWAYS_USE)));
        ui::Type(ui::Control(h, IDC_AUTH_USER_NAME), "alice");
        EXPECT_TRUE(Shoot(h, "login-themed.png"));
        ui::Press("Escape");
    });
}

TEST(LooksUnderWine, LightThemeDrawsOurControlsThemedWithTooltips)
{
    const wchar_t kThemeKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    CRegistryValueGuard active(kThemeKey, L"ThemeActive"), file(kThemeKey, L"DllName"),
        colour(kThemeKey, L"ColorName"), size(kThemeKey, L"SizeName");
    ASSERT_TRUE(active.Set(std::wstring(L"1")));
    ASSERT_TRUE(file.Set(std::wstring(L"C:\\windows\\resources\\themes\\light\\light.msstyles")));
    ASSERT_TRUE(colour.Set(std::wstring(L"Blue")));
    ASSERT_TRUE(size.Set(std::wstring(L"NormalSize")));
    EXPECT_EQ(RunChild("DISABLED_ThemedChild.EditorAndLogIn", "WP_LOOKS_THEMED", "1"), 0u);
}

TEST(LooksUnderWine, EditorAndPopupAt120144And192Dpi)
{
    CRegistryValueGuard logPixels(L"Control Panel\\Desktop", L"LogPixels");
    for (int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        ASSERT_TRUE(logPixels.Set(static_cast<DWORD>(dpi)));
        EXPECT_EQ(RunChild("DISABLED_ScaledChild.EditorAndPopup", "WP_LOOKS_DPI", std::to_string(dpi)), 0u);
    }
}
