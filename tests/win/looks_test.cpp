// The accessory's windows are Common Controls 6 windows whatever context the
// host runs in: dialogs, toolbars, tooltips and message boxes are made inside
// the module's own activation context. The test program itself has no such
// context, as a host without a Common Controls 6 manifest has none.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <thread>

#include "account/BlogAuth.h"
#include "account/BlogOptionsDlg.h"
#include "account/BlogType.h"
#include "account/LoginTitle.h"
#include "editor/BlogOutputDlg.h"
#include "editor/LinkDialog.h"
#include "platform/ActivationContext.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;
using namespace editor_test;

namespace {

// Only the version 6 button answers its ideal size; the version the system
// gives a program without a manifest leaves the message unanswered.
bool IsVersionSixButton(HWND hButton)
{
    SIZE size{};
    return hButton && ::SendMessageW(hButton, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) != FALSE &&
           size.cx > 0;
}

void ExpectVersionSixButtons(HWND hDlg, std::initializer_list<int> ids)
{
    for (int id : ids)
        EXPECT_TRUE(IsVersionSixButton(ui::Control(hDlg, id))) << id;
}

}  // namespace

TEST(CommonControls, AButtonOutsideOurContextIsTheOldOne)
{
    // Without this the checks below could pass for any button.
    HWND hButton = ::CreateWindowExW(0, L"Button", L"Plain", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr,
                                     nullptr, nullptr, nullptr);
    ASSERT_TRUE(hButton);
    EXPECT_FALSE(IsVersionSixButton(hButton));
    ::DestroyWindow(hButton);
    {
        platform::CActivationScope scope;
        ASSERT_TRUE(scope.IsActive());
        hButton = ::CreateWindowExW(0, L"Button", L"Ours", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr, nullptr,
                                    nullptr, nullptr);
    }
    EXPECT_TRUE(IsVersionSixButton(hButton));
    ::DestroyWindow(hButton);
}

TEST(CommonControls, EditorButtonsToolbarsAndImageListsAreVersionSix)
{
    CEditorSetup setup(BlogsXml({{"1", "Apples", "http://a.example/"}, {"2", "Pears", "http://p.example/"}}));
    CBlogOutputDlg dlg(nullptr, nullptr);
    setup.Prepare(dlg);
    RunDialog(dlg, "Blog Editor", [&](HWND h) {
        ExpectVersionSixButtons(h, {ID_POST, IDCANCEL, IDC_HELP_BUTTON, IDC_EDITOR_DRAFT, ID_USE_DIFFERENT_ACCOUNT});
        for (HWND hBar : {FormatBar(h), ImageBar(h)}) {
            ASSERT_TRUE(hBar);
            // The image list the bar draws from holds every icon.
            HIMAGELIST hImages = reinterpret_cast<HIMAGELIST>(::SendMessageW(hBar, TB_GETIMAGELIST, 0, 0));
            EXPECT_TRUE(hImages);
        }
        // The tooltips of the dialog's own controls took their tools.
        HWND hTip = nullptr;
        ui::WaitFor([&] {
            hTip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
            while (hTip && ::GetWindow(hTip, GW_OWNER) != h)
                hTip = ::FindWindowExW(nullptr, hTip, TOOLTIPS_CLASSW, nullptr);
            return hTip != nullptr;
        }, 2000);
        ASSERT_TRUE(hTip);
        EXPECT_GT(::SendMessageW(hTip, TTM_GETTOOLCOUNT, 0, 0), 5);
        ui::Press("Escape");
    });
}

TEST(CommonControls, AccountAndLinkDialogsAndMessageBoxesAreVersionSix)
{
    BlogAuth login;
    login.SetTitle(account::LoginTitle(account::kBlogTypeWordPress));
    RunDialog(login, "WordPress.com Login", [&](HWND h) {
        ExpectVersionSixButtons(h, {IDOK, IDCANCEL, IDC_AUTH_ALWAYS_USE});
        ui::Press("Escape");
    });
    BlogOptionsDlg options;
    options.SetTitle(account::LoginTitle(account::kBlogTypeWordPress));
    RunDialog(options, "WordPress.com Login", [&](HWND h) {
        ExpectVersionSixButtons(h, {IDOK, IDCANCEL});
        ui::Press("Escape");
    });
    CLinkDialog link;
    RunDialog(link, "Create Link", [&](HWND h) {
        ExpectVersionSixButtons(h, {IDOK, IDCANCEL, IDC_LINK_URL, IDC_LINK_EMAIL});
        ui::Press("Escape");
    });

    std::thread box([] { platform::ShowMessageBox(nullptr, "In our context", "Looks test", MB_OK); });
    HWND hBox = ui::WaitForWindow("Looks test");
    EXPECT_TRUE(hBox);
    EXPECT_TRUE(IsVersionSixButton(::GetDlgItem(hBox, IDOK)));
    if (hBox)
        ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    box.join();
}
