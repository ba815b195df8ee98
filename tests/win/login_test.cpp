// The log-in dialog driven as a user would: what it shows for each blog type,
// what it hands back, and how it is left.
#include <gtest/gtest.h>

#include "account/BlogAuth.h"
#include "account/BlogType.h"
#include "account/LoginTitle.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;

namespace {

RECT MovedUp(RECT rc, int dy)
{
    ::OffsetRect(&rc, 0, -dy);
    return rc;
}

void ExpectRect(const RECT& actual, const RECT& expected, const char* what)
{
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

RECT ItemRect(HWND hDlg, int id) { return ui::RectIn(ui::Control(hDlg, id), hDlg); }

void PrepareFor(BlogAuth& dlg, int nBlogType)
{
    dlg.SetTitle(account::LoginTitle(nBlogType));
    dlg.SetShowServerFields(account::UsesServerFields(nBlogType));
}

}  // namespace

TEST(LoginDialog, CaptionNamesTheBlogType)
{
    EXPECT_EQ(account::LoginTitle(account::kBlogTypeTypePad), "TypePad Login");
    EXPECT_EQ(account::LoginTitle(account::kBlogTypeWordPress), "WordPress.com Login");
    EXPECT_EQ(account::LoginTitle(account::kBlogTypeMovable), "Movable Login");
    EXPECT_EQ(account::LoginTitle(account::kBlogTypeLiveJournal), "LiveJournal Login");
    EXPECT_EQ(account::LoginTitle(4), " Login");
}

TEST(LoginDialog, HostedServiceShowsTwoRowsAndShrinksByTheRemovedRows)
{
    BlogAuth dlg;
    PrepareFor(dlg, account::kBlogTypeWordPress);
    int nRemoved = -1;
    const INT_PTR result = RunDialog(dlg, "WordPress.com Login", [&](HWND h) {
        for (int id : {IDC_AUTH_SERVER, IDC_AUTH_ENDPOINT, IDC_SERVER_LABEL, IDC_ENDPOINT_LABEL})
            EXPECT_FALSE(ItemVisible(h, id)) << id;
        for (int id : {IDC_AUTH_USER_NAME, IDC_AUTH_PASSWORD, IDC_USER_NAME_LABEL, IDC_PASSWORD_LABEL,
                       IDC_LOGIN_GROUP, IDC_AUTH_ALWAYS_USE, IDOK, IDCANCEL})
            EXPECT_TRUE(ItemVisible(h, id)) << id;

        // Everything below the rows moved up by the distance between the
        // bottoms of the endpoint and password edits, the window shrank by it.
        nRemoved = ItemRect(h, IDC_AUTH_ENDPOINT).bottom - ItemRect(h, IDC_AUTH_PASSWORD).bottom;
        EXPECT_EQ(nRemoved, FromDialogUnits(h, 88, 60, 103, 12).bottom - FromDialogUnits(h, 88, 32, 103, 12).bottom);
        ASSERT_GT(nRemoved, 0);
        RECT rcGroup = FromDialogUnits(h, 8, 7, 196, 73);
        rcGroup.bottom -= nRemoved;
        ExpectRect(ItemRect(h, IDC_LOGIN_GROUP), rcGroup, "group box");
        ExpectRect(ItemRect(h, IDC_AUTH_ALWAYS_USE), MovedUp(FromDialogUnits(h, 8, 86, 136, 8), nRemoved), "check box");
        ExpectRect(ItemRect(h, IDOK), MovedUp(FromDialogUnits(h, 112, 102, 45, 14), nRemoved), "OK");
        ExpectRect(ItemRect(h, IDCANCEL), MovedUp(FromDialogUnits(h, 159, 102, 45, 14), nRemoved), "Cancel");
        RECT rcClient{};
        ::GetClientRect(h, &rcClient);
        EXPECT_EQ(rcClient.bottom, FromDialogUnits(h, 0, 0, 212, 120).bottom - nRemoved);
        EXPECT_EQ(rcClient.right, FromDialogUnits(h, 0, 0, 212, 120).right);

        // The password is masked on screen.
        HWND hPassword = ui::Control(h, IDC_AUTH_PASSWORD);
        EXPECT_TRUE(::GetWindowLongPtrW(hPassword, GWL_STYLE) & ES_PASSWORD);
        EXPECT_NE(::SendMessageW(hPassword, EM_GETPASSWORDCHAR, 0, 0), 0);

        Activate(h);
        EXPECT_EQ(FocusedId(h), IDC_AUTH_USER_NAME);
        ui::Type(nullptr, "jane.doe");
        ui::Press("Tab");
        ui::Type(nullptr, "s3cret %&<");
        ui::Click(ui::Control(h, IDC_AUTH_ALWAYS_USE));
        EXPECT_TRUE(ItemChecked(h, IDC_AUTH_ALWAYS_USE));
        EXPECT_TRUE(Shoot(h, "login.png"));
        ui::Press("Enter");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_nRemovedHeight, nRemoved);
    EXPECT_EQ(dlg.m_strUserName, "jane.doe");
    EXPECT_EQ(dlg.m_strPassword, "s3cret %&<");
    EXPECT_EQ(dlg.m_strServer, "");
    EXPECT_EQ(dlg.m_strEndpoint, "");
    EXPECT_EQ(dlg.m_bAlwaysUse, 1);
}

TEST(LoginDialog, MovableShowsFourRowsReachedByTabAndMnemonics)
{
    BlogAuth dlg;
    PrepareFor(dlg, account::kBlogTypeMovable);
    const INT_PTR result = RunDialog(dlg, "Movable Login", [&](HWND h) {
        for (int id : {IDC_AUTH_SERVER, IDC_AUTH_ENDPOINT, IDC_SERVER_LABEL, IDC_ENDPOINT_LABEL})
            EXPECT_TRUE(ItemVisible(h, id)) << id;
        ExpectRect(ItemRect(h, IDC_LOGIN_GROUP), FromDialogUnits(h, 8, 7, 196, 73), "group box");
        ExpectRect(ItemRect(h, IDOK), FromDialogUnits(h, 112, 102, 45, 14), "OK");
        RECT rcClient{};
        ::GetClientRect(h, &rcClient);
        EXPECT_EQ(rcClient.bottom, FromDialogUnits(h, 0, 0, 212, 120).bottom);
        for (int id : {IDC_AUTH_USER_NAME, IDC_AUTH_PASSWORD, IDC_AUTH_SERVER, IDC_AUTH_ENDPOINT})
            EXPECT_EQ(ItemText(h, id), "") << id;

        Activate(h);
        EXPECT_EQ(FocusedId(h), IDC_AUTH_USER_NAME);
        EXPECT_EQ(TabOrder(h, 7), (std::vector<int>{IDC_AUTH_PASSWORD, IDC_AUTH_SERVER, IDC_AUTH_ENDPOINT,
                                                     IDC_AUTH_ALWAYS_USE, IDOK, IDCANCEL, IDC_AUTH_USER_NAME}));
        ui::Press("Alt+E");
        EXPECT_EQ(FocusedId(h), IDC_AUTH_ENDPOINT);
        ui::Type(nullptr, "/mt/mt-xmlrpc.cgi");
        ui::Press("Alt+S");
        EXPECT_EQ(FocusedId(h), IDC_AUTH_SERVER);
        ui::Type(nullptr, "blog.example.org");
        ui::Press("Alt+P");
        EXPECT_EQ(FocusedId(h), IDC_AUTH_PASSWORD);
        ui::Type(nullptr, "pw");
        ui::Press("Alt+A");
        EXPECT_TRUE(ItemChecked(h, IDC_AUTH_ALWAYS_USE));
        ui::Press("Alt+U");
        EXPECT_EQ(FocusedId(h), IDC_AUTH_USER_NAME);
        ui::Type(nullptr, "mt user");
        EXPECT_TRUE(Shoot(h, "login-movable.png"));
        ui::Click(ui::Control(h, IDOK));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_nRemovedHeight, 0);
    EXPECT_EQ(dlg.m_strUserName, "mt user");
    EXPECT_EQ(dlg.m_strPassword, "pw");
    EXPECT_EQ(dlg.m_strServer, "blog.example.org");
    EXPECT_EQ(dlg.m_strEndpoint, "/mt/mt-xmlrpc.cgi");
    EXPECT_EQ(dlg.m_bAlwaysUse, 1);
}

TEST(LoginDialog, OkWithEveryFieldEmptyHandsBackEmptyStringsAndTheCheckBox)
{
    for (int bChecked = 0; bChecked < 2; ++bChecked) {
        BlogAuth dlg;
        PrepareFor(dlg, account::kBlogTypeMovable);
        const INT_PTR result = RunDialog(dlg, "Movable Login", [&](HWND h) {
            Activate(h);
            if (bChecked)
                ui::Click(ui::Control(h, IDC_AUTH_ALWAYS_USE));
            ui::Press("Alt+O");
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(dlg.m_strUserName + dlg.m_strPassword + dlg.m_strServer + dlg.m_strEndpoint, "");
        EXPECT_EQ(dlg.m_bAlwaysUse, bChecked);
    }
}

TEST(LoginDialog, CancelEscapeAndTheCloseBoxHandNothingBack)
{
    const std::pair<const char*, std::function<void(HWND)>> ways[] = {
        {"Cancel button", [](HWND h) { ui::Click(ui::Control(h, IDCANCEL)); }},
        {"Alt+C", [](HWND) { ui::Press("Alt+C"); }},
        {"Escape", [](HWND) { ui::Press("Escape"); }},
        {"close box", [](HWND h) { ::PostMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        BlogAuth dlg;
        PrepareFor(dlg, account::kBlogTypeMovable);
        const INT_PTR result = RunDialog(dlg, "Movable Login", [&](HWND h) {
            Activate(h);
            ui::Type(nullptr, "typed");
            ui::Click(ui::Control(h, IDC_AUTH_ALWAYS_USE));
            way.second(h);
        });
        EXPECT_EQ(result, IDCANCEL) << way.first;
        EXPECT_EQ(dlg.m_strUserName + dlg.m_strPassword + dlg.m_strServer + dlg.m_strEndpoint, "") << way.first;
        EXPECT_EQ(dlg.m_bAlwaysUse, 0) << way.first;
    }
}

TEST(LoginDialog, LogInTheCodePageCannotCarryIsRefusedWithAMessage)
{
    BlogAuth dlg;
    PrepareFor(dlg, account::kBlogTypeWordPress);
    std::string message;
    bool bStillOpen = false;
    int nFocused = 0;
    const INT_PTR result = RunDialog(dlg, "WordPress.com Login", [&](HWND h) {
        ui::Type(ui::Control(h, IDC_AUTH_USER_NAME), L"\u592a\u90ce");
        ui::Type(ui::Control(h, IDC_AUTH_PASSWORD), "pw");
        ui::Press("Enter");
        message = ui::AnswerMessageBox(IDOK);
        bStillOpen = ui::IsVisible(h);
        // The dialog's own focus comes back with its activation, which under
        // Wine passes through the X server and may land after the box is
        // gone: the field the message was about must have it once that is over.
        ui::WaitFor([&] { return FocusedId(h) == IDC_AUTH_USER_NAME; }, 3000);
        nFocused = FocusedId(h);
        ui::Type(ui::Control(h, IDC_AUTH_USER_NAME), "taro");
        ui::Press("Enter");
    });
    EXPECT_NE(message.find("cannot be sent"), std::string::npos) << message;
    EXPECT_TRUE(bStillOpen);
    EXPECT_EQ(nFocused, IDC_AUTH_USER_NAME);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_strUserName, "taro");
    EXPECT_EQ(dlg.m_strPassword, "pw");
}
