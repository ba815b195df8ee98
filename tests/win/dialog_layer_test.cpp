// The modal dialog layer under the account and editor dialogs: ownership and
// placement, message routing to the object, and failures that must not take
// the host down.
#include <gtest/gtest.h>

#include <new>

#include "editor/LinkDialog.h"
#include "platform/UniqueHandle.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;

namespace {

constexpr UINT kTestNotification = 0x4321;
constexpr int kEndWithFive = 0x5555;
constexpr int kThrow = 0x6666;

// A dialog of the kind the Blog Editor will be: its own messages, control
// notifications and commands of its own.
class CProbeDialog : public platform::CDialog {
public:
    CProbeDialog() : CDialog(IDD_LINK) {}
    std::vector<UINT> m_commands;

protected:
    bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override
    {
        if (msg == WM_APP) {
            lResult = 42;
            return true;
        }
        if (msg == WM_QUERYDRAGICON) {
            lResult = 0x1234;
            return true;
        }
        return false;
    }
    bool OnNotify(NMHDR& header, LRESULT& lResult) override
    {
        if (header.code != kTestNotification)
            return false;
        lResult = static_cast<LRESULT>(header.idFrom) + 1;
        return true;
    }
    bool OnCommand(UINT nId, UINT nCode, HWND hControl) override
    {
        m_commands.push_back(nId);
        if (nId == kEndWithFive) {
            EndDialog(5);
            return true;
        }
        if (nId == kThrow)
            throw std::bad_alloc();
        return CDialog::OnCommand(nId, nCode, hControl);
    }
};

}  // namespace

TEST(DialogLayer, DialogIsOwnedByItsParentAndOpensCentredOverIt)
{
    platform::CWindow owner(::CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE | WS_CAPTION, 60, 80, 700,
                                              500, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(owner);
    CLinkDialog dlg(owner.Get());
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        EXPECT_EQ(::GetWindow(h, GW_OWNER), owner.Get());
        EXPECT_FALSE(ui::IsEnabled(owner.Get()));
        const RECT rcOwner = ui::ScreenRect(owner.Get()), rcDlg = ui::ScreenRect(h);
        EXPECT_NEAR((rcDlg.left + rcDlg.right) / 2, (rcOwner.left + rcOwner.right) / 2, 1);
        EXPECT_NEAR((rcDlg.top + rcDlg.bottom) / 2, (rcOwner.top + rcOwner.bottom) / 2, 1);
        ui::Press("Escape");
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(ui::IsEnabled(owner.Get()));
}

TEST(DialogLayer, MissingTemplateFailsWithoutAWindow)
{
    platform::CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(ui::FindWindows("", "#32770").empty());
}

TEST(DialogLayer, MessagesNotificationsAndCommandsReachTheObject)
{
    CProbeDialog dlg;
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        EXPECT_EQ(::SendMessageW(h, WM_APP, 0, 0), 42);
        EXPECT_EQ(::SendMessageW(h, WM_QUERYDRAGICON, 0, 0), 0x1234);
        NMHDR header{ui::Control(h, IDC_LINK_URL_TEXT), IDC_LINK_URL_TEXT, kTestNotification};
        EXPECT_EQ(::SendMessageW(h, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)),
                  IDC_LINK_URL_TEXT + 1);
        header.code = kTestNotification + 1;
        EXPECT_EQ(::SendMessageW(h, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)), 0);
        ::SendMessageW(h, WM_COMMAND, MAKEWPARAM(kEndWithFive, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, 5);
    EXPECT_EQ(dlg.m_commands, std::vector<UINT>{kEndWithFive});
}

TEST(DialogLayer, FailureInAHandlerEndsTheDialogAsCancelled)
{
    CProbeDialog dlg;
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        ::PostMessageW(h, WM_COMMAND, MAKEWPARAM(kThrow, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDCANCEL);
}
