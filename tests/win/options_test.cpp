// The options dialog driven as a user would: how it opens with and without a
// stored log-in, how the choice enables the log-in rows, and what OK, Cancel
// and Help do.
#include <gtest/gtest.h>

#include "account/BlogOptionsDlg.h"
#include "account/BlogType.h"
#include "account/LoginTitle.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;

namespace {

const int kLoginEdits[] = {IDC_OPTIONS_USER_NAME, IDC_OPTIONS_PASSWORD, IDC_OPTIONS_SERVER, IDC_OPTIONS_ENDPOINT};
// The eight log-in controls in the order the choice switches them.
const std::vector<int> kLoginControls = {IDC_OPTIONS_USER_NAME, IDC_OPTIONS_PASSWORD, IDC_OPTIONS_SERVER,
                                         IDC_OPTIONS_ENDPOINT,  IDC_USER_NAME_LABEL,  IDC_PASSWORD_LABEL,
                                         IDC_SERVER_LABEL,      IDC_ENDPOINT_LABEL};

void PrepareFor(BlogOptionsDlg& dlg, int nBlogType)
{
    dlg.SetTitle(account::LoginTitle(nBlogType));
    dlg.SetHelpPath("Z:\\accessory\\WordPressOutput.chm");
    dlg.SetShowServerFields(account::UsesServerFields(nBlogType));
}

void ExpectLoginControlsEnabled(HWND h, bool bEnabled)
{
    for (int id : kLoginControls)
        EXPECT_EQ(ItemEnabled(h, id), bEnabled) << id;
}

std::vector<std::pair<int, bool>> Switched(bool bEnabled)
{
    std::vector<std::pair<int, bool>> expected;
    for (int id : kLoginControls)
        expected.emplace_back(id, bEnabled);
    return expected;
}

int Top(HWND h, int id) { return ui::RectIn(ui::Control(h, id), h).top; }

}  // namespace

TEST(OptionsDialog, WithoutAStoredLogInItOpensOnPromptWithEmptyDisabledFields)
{
    BlogOptionsDlg dlg;
    PrepareFor(dlg, account::kBlogTypeWordPress);
    const INT_PTR result = RunDialog(dlg, "WordPress.com Login", [&](HWND h) {
        EXPECT_TRUE(ItemChecked(h, IDC_OPTIONS_PROMPT));
        EXPECT_FALSE(ItemChecked(h, IDC_OPTIONS_ALWAYS_USE));
        EXPECT_EQ(FocusedId(h), IDC_OPTIONS_PROMPT);
        ExpectLoginControlsEnabled(h, false);
        for (int id : kLoginEdits)
            EXPECT_EQ(ItemText(h, id), "") << id;

        // The server rows are gone and the buttons and the window moved up by
        // the distance between the endpoint's and the password's bottoms.
        for (int id : {IDC_OPTIONS_SERVER, IDC_OPTIONS_ENDPOINT, IDC_SERVER_LABEL, IDC_ENDPOINT_LABEL})
            EXPECT_FALSE(ItemVisible(h, id)) << id;
        const int nRemoved = FromDialogUnits(h, 84, 84, 138, 12).bottom - FromDialogUnits(h, 84, 56, 138, 12).bottom;
        EXPECT_GT(nRemoved, 0);
        EXPECT_EQ(ui::RectIn(ui::Control(h, IDC_LOGIN_GROUP), h).bottom,
                  FromDialogUnits(h, 6, 4, 226, 100).bottom - nRemoved);
        for (int id : {IDOK, IDCANCEL, IDC_HELP_BUTTON})
            EXPECT_EQ(Top(h, id), FromDialogUnits(h, 0, 115, 44, 14).top - nRemoved) << id;
        RECT rcClient{};
        ::GetClientRect(h, &rcClient);
        EXPECT_EQ(rcClient.bottom, FromDialogUnits(h, 0, 0, 236, 132).bottom - nRemoved);

        Activate(h);
        ui::Press("Escape");
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.m_strUserName + dlg.m_strPassword + dlg.m_strServer + dlg.m_strEndpoint, "");
    EXPECT_GT(dlg.m_nRemovedHeight, 0);
}

TEST(OptionsDialog, StoredLogInOpensOnAlwaysUseAndTheChoiceSwitchesTheRows)
{
    BlogOptionsDlg dlg;
    PrepareFor(dlg, account::kBlogTypeWordPress);
    dlg.SetInitialValues(account::LoginTitle(account::kBlogTypeWordPress), "jane.doe", "s3cret", "ignored.example",
                         "/ignored");
    CEnableRecorder enables;
    const INT_PTR result = RunDialog(dlg, "WordPress.com Login", [&](HWND h) {
        EXPECT_TRUE(ItemChecked(h, IDC_OPTIONS_ALWAYS_USE));
        EXPECT_FALSE(ItemChecked(h, IDC_OPTIONS_PROMPT));
        EXPECT_EQ(FocusedId(h), IDC_OPTIONS_ALWAYS_USE);
        ExpectLoginControlsEnabled(h, true);
        EXPECT_EQ(ItemText(h, IDC_OPTIONS_USER_NAME), "jane.doe");
        EXPECT_EQ(ItemText(h, IDC_OPTIONS_PASSWORD), "s3cret");
        EXPECT_EQ(ItemText(h, IDC_OPTIONS_SERVER), "");
        EXPECT_TRUE(Shoot(h, "options.png"));

        // Tab runs from the chosen radio button through the shown fields to
        // the buttons and back.
        EXPECT_EQ(TabOrder(h, 6), (std::vector<int>{IDC_OPTIONS_USER_NAME, IDC_OPTIONS_PASSWORD, IDOK, IDCANCEL,
                                                     IDC_HELP_BUTTON, IDC_OPTIONS_ALWAYS_USE}));
        enables.Take();
        ui::Click(ui::Control(h, IDC_OPTIONS_PROMPT));
        EXPECT_EQ(enables.Take(), Switched(false));
        EXPECT_EQ(ItemText(h, IDC_OPTIONS_USER_NAME), "jane.doe");
        // The tab stop follows the choice.
        EXPECT_EQ(TabOrder(h, 4), (std::vector<int>{IDOK, IDCANCEL, IDC_HELP_BUTTON, IDC_OPTIONS_PROMPT}));

        ui::Press("Alt+A");
        EXPECT_TRUE(ItemChecked(h, IDC_OPTIONS_ALWAYS_USE));
        EXPECT_EQ(enables.Take(), Switched(true));
        ui::Press("Alt+R");
        EXPECT_TRUE(ItemChecked(h, IDC_OPTIONS_PROMPT));
        EXPECT_EQ(enables.Take(), Switched(false));
        ui::Press("Enter");
    });
    // OK hands back what the disabled edits still hold.
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_bAlwaysUse, 0);
    EXPECT_EQ(dlg.m_strUserName, "jane.doe");
    EXPECT_EQ(dlg.m_strPassword, "s3cret");
    EXPECT_EQ(dlg.m_strServer, "");
    EXPECT_EQ(dlg.m_strEndpoint, "");
}

TEST(OptionsDialog, MovableWithAnIncompleteStoredLogInOpensOnPromptWithAllFieldsEmpty)
{
    BlogOptionsDlg dlg;
    PrepareFor(dlg, account::kBlogTypeMovable);
    dlg.SetInitialValues("Movable Login", "mt user", "pw", "", "/mt/mt-xmlrpc.cgi");
    const INT_PTR result = RunDialog(dlg, "Movable Login", [&](HWND h) {
        EXPECT_TRUE(ItemChecked(h, IDC_OPTIONS_PROMPT));
        ExpectLoginControlsEnabled(h, false);
        for (int id : kLoginEdits) {
            EXPECT_TRUE(ItemVisible(h, id)) << id;
            EXPECT_EQ(ItemText(h, id), "") << id;
        }
        RECT rcClient{};
        ::GetClientRect(h, &rcClient);
        EXPECT_EQ(rcClient.bottom, FromDialogUnits(h, 0, 0, 236, 132).bottom);
        EXPECT_EQ(Top(h, IDOK), FromDialogUnits(h, 0, 115, 44, 14).top);

        Activate(h);
        ui::Press("Alt+A");
        ExpectLoginControlsEnabled(h, true);
        EXPECT_EQ(TabOrder(h, 8), (std::vector<int>{IDC_OPTIONS_USER_NAME, IDC_OPTIONS_PASSWORD, IDC_OPTIONS_SERVER,
                                                     IDC_OPTIONS_ENDPOINT, IDOK, IDCANCEL, IDC_HELP_BUTTON,
                                                     IDC_OPTIONS_ALWAYS_USE}));
        ui::Press("Alt+E");
        EXPECT_EQ(FocusedId(h), IDC_OPTIONS_ENDPOINT);
        ui::Type(nullptr, "/cgi/mt-xmlrpc.cgi");
        ui::Press("Alt+S");
        ui::Type(nullptr, "blog.example.org");
        ui::Press("Alt+P");
        ui::Type(nullptr, "new pw");
        ui::Press("Alt+U");
        ui::Type(nullptr, "new user");
        ui::Press("Enter");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.m_bAlwaysUse, 1);
    EXPECT_EQ(dlg.m_strUserName, "new user");
    EXPECT_EQ(dlg.m_strPassword, "new pw");
    EXPECT_EQ(dlg.m_strServer, "blog.example.org");
    EXPECT_EQ(dlg.m_strEndpoint, "/cgi/mt-xmlrpc.cgi");
    EXPECT_EQ(dlg.m_nRemovedHeight, 0);
}

TEST(OptionsDialog, HelpLeavesTheDialogOpenAndCancelKeepsTheStoredValues)
{
    CHelpRecorder help;
    BlogOptionsDlg dlg;
    PrepareFor(dlg, account::kBlogTypeMovable);
    dlg.SetInitialValues("Movable Login", "mt user", "pw", "blog.example.org", "/mt.cgi");
    const INT_PTR result = RunDialog(dlg, "Movable Login", [&](HWND h) {
        EXPECT_TRUE(ItemChecked(h, IDC_OPTIONS_ALWAYS_USE));
        EXPECT_EQ(ItemText(h, IDC_OPTIONS_SERVER), "blog.example.org");
        EXPECT_EQ(ItemText(h, IDC_OPTIONS_ENDPOINT), "/mt.cgi");
        Activate(h);
        ui::Type(ui::Control(h, IDC_OPTIONS_USER_NAME), " changed");
        ui::Click(ui::Control(h, IDC_HELP_BUTTON));
        ui::Press("Alt+H");
        EXPECT_TRUE(ui::WaitFor([&] { return help.Calls().size() >= 2; })) << "no help for the click and Alt+H";
        EXPECT_EQ(help.Calls(), (std::vector<std::string>(2, "Z:\\accessory\\WordPressOutput.chm|0|0|owned")));
        EXPECT_TRUE(ui::IsVisible(h));
        EXPECT_TRUE(ItemChecked(h, IDC_OPTIONS_ALWAYS_USE));
        ui::Click(ui::Control(h, IDCANCEL));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.m_strUserName, "mt user");
    EXPECT_EQ(dlg.m_strServer, "blog.example.org");
    EXPECT_EQ(dlg.m_bAlwaysUse, 0);
}

TEST(OptionsDialog, KeptLogInTheCodePageCannotCarryIsRefusedWithAMessage)
{
    BlogOptionsDlg dlg;
    dlg.SetTitle("WordPress.com Login");
    std::string message;
    const INT_PTR result = RunDialog(dlg, "WordPress.com Login", [&](HWND h) {
        ui::Click(ui::Control(h, IDC_OPTIONS_ALWAYS_USE));
        ui::Type(ui::Control(h, IDC_OPTIONS_USER_NAME), "alice");
        ui::Type(ui::Control(h, IDC_OPTIONS_PASSWORD), L"\u043f\u0430\u0440\u043e\u043b\u044c");
        ui::Click(ui::Control(h, IDOK));
        message = ui::AnswerMessageBox(IDOK);
        EXPECT_TRUE(ui::IsVisible(h));
        ui::Click(ui::Control(h, IDCANCEL));
    });
    EXPECT_NE(message.find("cannot be sent"), std::string::npos) << message;
    EXPECT_EQ(result, IDCANCEL);
}
