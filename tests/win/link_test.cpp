// The Create Link dialog driven as a user would: where the caret starts, how
// the link type switches the rows, and what OK and Cancel leave behind.
#include <gtest/gtest.h>

#include "editor/LinkDialog.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;

namespace {

const int kUrlControls[] = {IDC_LINK_URL_TEXT_LABEL, IDC_LINK_URL_ADDRESS_LABEL, IDC_LINK_URL_TEXT,
                            IDC_LINK_URL_ADDRESS};
const int kEmailControls[] = {IDC_LINK_EMAIL_TEXT_LABEL, IDC_LINK_EMAIL_ADDRESS_LABEL, IDC_LINK_SUBJECT_LABEL,
                              IDC_LINK_EMAIL_TEXT,       IDC_LINK_EMAIL_ADDRESS,       IDC_LINK_SUBJECT};

void ExpectType(HWND h, bool bUrl)
{
    EXPECT_EQ(ItemChecked(h, IDC_LINK_URL), bUrl);
    EXPECT_EQ(ItemChecked(h, IDC_LINK_EMAIL), !bUrl);
    for (int id : kUrlControls)
        EXPECT_EQ(ItemEnabled(h, id), bUrl) << id;
    for (int id : kEmailControls)
        EXPECT_EQ(ItemEnabled(h, id), !bUrl) << id;
}

}  // namespace

TEST(LinkDialog, ProposedTextFillsBothDisplayFieldsAndTheCaretStartsInTheAddress)
{
    CLinkDialog dlg;
    dlg.m_strText = "Example site";
    dlg.m_strUrl = "";
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        ExpectType(h, true);
        EXPECT_EQ(ItemText(h, IDC_LINK_URL_TEXT), "Example site");
        EXPECT_EQ(ItemText(h, IDC_LINK_EMAIL_TEXT), "Example site");
        EXPECT_EQ(FocusedId(h), IDC_LINK_URL_ADDRESS);
        Activate(h);
        ui::Type(nullptr, "www.example.com");
        EXPECT_TRUE(Shoot(h, "link.png"));
        EXPECT_EQ(TabOrder(h, 6), (std::vector<int>{IDOK, IDCANCEL, IDC_HELP_BUTTON, IDC_LINK_URL, IDC_LINK_URL_TEXT,
                                                     IDC_LINK_URL_ADDRESS}));
        ui::Press("Enter");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(dlg.IsUrlLink());
    EXPECT_EQ(dlg.m_strText, "Example site");
    EXPECT_EQ(dlg.m_strUrl, "www.example.com");
    EXPECT_EQ(dlg.m_strEmail + dlg.m_strSubject, "");
}

TEST(LinkDialog, WithoutProposedTextTheCaretStartsInTheDisplayTextAndEmptyFieldsAreAccepted)
{
    CLinkDialog dlg;
    dlg.m_strUrl = "http://proposed.example/";
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        ExpectType(h, true);
        EXPECT_EQ(FocusedId(h), IDC_LINK_URL_TEXT);
        EXPECT_EQ(ItemText(h, IDC_LINK_URL_ADDRESS), "http://proposed.example/");
        EXPECT_EQ(ItemText(h, IDC_LINK_EMAIL_TEXT), "");
        Activate(h);
        ui::Press("Alt+A");
        EXPECT_EQ(FocusedId(h), IDC_LINK_URL_ADDRESS);
        ui::Press("Delete");
        EXPECT_EQ(ItemText(h, IDC_LINK_URL_ADDRESS), "");
        ui::Press("Alt+O");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(dlg.IsUrlLink());
    EXPECT_EQ(dlg.m_strText + dlg.m_strUrl + dlg.m_strEmail + dlg.m_strSubject, "");
}

TEST(LinkDialog, EmailHandsBackItsThreeFieldsAndLeavesTheUrlAlone)
{
    CLinkDialog dlg;
    dlg.m_strText = "Write to me";
    dlg.m_strUrl = "http://kept.example/";
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        Activate(h);
        ui::Press("Alt+E");
        ExpectType(h, false);
        // The display text is there already, so the address is next.
        EXPECT_EQ(FocusedId(h), IDC_LINK_EMAIL_ADDRESS);
        ui::Type(nullptr, "jane@example.com");
        EXPECT_EQ(TabOrder(h, 7), (std::vector<int>{IDC_LINK_SUBJECT, IDOK, IDCANCEL, IDC_HELP_BUTTON, IDC_LINK_EMAIL,
                                                     IDC_LINK_EMAIL_TEXT, IDC_LINK_EMAIL_ADDRESS}));
        ui::Press("Alt+S");
        ui::Type(nullptr, "Hello & welcome");
        ui::Press("Alt+T");
        EXPECT_EQ(FocusedId(h), IDC_LINK_EMAIL_TEXT);
        ui::Type(nullptr, "Mail me");
        // The URL row's display text keeps the proposal: the fields are separate.
        EXPECT_EQ(ItemText(h, IDC_LINK_URL_TEXT), "Write to me");
        ui::Press("Enter");
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(dlg.IsUrlLink());
    EXPECT_EQ(dlg.m_strText, "Mail me");
    EXPECT_EQ(dlg.m_strEmail, "jane@example.com");
    EXPECT_EQ(dlg.m_strSubject, "Hello & welcome");
    EXPECT_EQ(dlg.m_strUrl, "http://kept.example/");
}

TEST(LinkDialog, BackToUrlHandsBackTheUrlFieldsOnly)
{
    CLinkDialog dlg;
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        Activate(h);
        ui::Click(ui::Control(h, IDC_LINK_EMAIL));
        ExpectType(h, false);
        EXPECT_EQ(FocusedId(h), IDC_LINK_EMAIL_TEXT);
        ui::Type(nullptr, "mail text");
        ui::Press("Tab");
        ui::Type(nullptr, "jane@example.com");
        ui::Press("Alt+U");
        ExpectType(h, true);
        EXPECT_EQ(FocusedId(h), IDC_LINK_URL_TEXT);
        ui::Type(nullptr, "site");
        ui::Press("Alt+E");
        // A filled display text sends the caret on to the address.
        EXPECT_EQ(FocusedId(h), IDC_LINK_EMAIL_ADDRESS);
        ui::Press("Alt+U");
        EXPECT_EQ(FocusedId(h), IDC_LINK_URL_ADDRESS);
        ui::Type(nullptr, "example.org");
        ui::Click(ui::Control(h, IDOK));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(dlg.IsUrlLink());
    EXPECT_EQ(dlg.m_strText, "site");
    EXPECT_EQ(dlg.m_strUrl, "example.org");
    EXPECT_EQ(dlg.m_strEmail + dlg.m_strSubject, "");
}

TEST(LinkDialog, HelpKeepsItOpenAndCancelLeavesTheMembersAsSet)
{
    CHelpRecorder help;
    CLinkDialog dlg;
    dlg.m_strText = "proposed";
    dlg.m_strUrl = "http://proposed.example/";
    dlg.SetHelpPath("Z:\\accessory\\WordPressOutput.chm");
    const INT_PTR result = RunDialog(dlg, "Create Link", [&](HWND h) {
        Activate(h);
        ui::Type(nullptr, "changed");
        ui::Press("Alt+E");
        ui::Type(nullptr, "jane@example.com");
        ui::Press("Alt+H");
        EXPECT_TRUE(ui::WaitFor([&] { return !help.Calls().empty(); })) << "no help for Alt+H";
        EXPECT_EQ(help.Calls(), (std::vector<std::string>{"Z:\\accessory\\WordPressOutput.chm|0|0|owned"}));
        EXPECT_TRUE(ui::IsVisible(h));
        ui::Press("Escape");
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(dlg.IsUrlLink());
    EXPECT_EQ(dlg.m_strText, "proposed");
    EXPECT_EQ(dlg.m_strUrl, "http://proposed.example/");
    EXPECT_EQ(dlg.m_strEmail + dlg.m_strSubject, "");
}
