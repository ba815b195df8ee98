// The Blog Editor's formatting driven as a user would: shortcuts, toolbar
// buttons, the size box, image placement and links, checked in the control's
// own format and in the HTML the entry becomes.
#include <gtest/gtest.h>

#include "editor/BlogOutputDlg.h"
#include "res/resource.h"
#include "rtf2html/RtfConverter.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;
using namespace editor_test;

namespace {

const std::string kTwoBlogs = BlogsXml({{"1", "One", "http://one.example/"}, {"2", "Two", "http://two.example/"}});

bool Has(const CHARFORMAT2A& f, DWORD mask, DWORD effect) { return (f.dwMask & mask) && (f.dwEffects & effect); }

std::string EntryHtml(HWND h)
{
    return CRtfConverter().Convert(EntryRtf(h), "\\pard", true);
}

// Fills in the link dialog that the command opened.
void AnswerLinkDialog(const std::function<void(HWND)>& fill)
{
    HWND hLink = ui::WaitForWindow("Create Link", "#32770", 5000);
    ASSERT_NE(hLink, nullptr) << "the link dialog opened";
    fill(hLink);
    ui::Press("Enter");
    ui::WaitUntilGone(hLink, 3000);
}

}  // namespace

TEST(BlogEditorFormatting, ShortcutsToggleTheirEffectsAndButtonsAndLettersStayLetters)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        ui::Type(Entry(h), "BIUK ");
        EXPECT_EQ(EntryText(h), "BIUK ");
        Select(h, 0, 4);
        ui::Press("Ctrl+B");
        EXPECT_TRUE(Has(SelectionFormat(h), CFM_BOLD, CFE_BOLD));
        EXPECT_TRUE(Pressed(FormatBar(h), ID_FORMAT_BOLD));
        ui::Press("Ctrl+I");
        EXPECT_TRUE(Has(SelectionFormat(h), CFM_ITALIC, CFE_ITALIC));
        EXPECT_TRUE(Pressed(FormatBar(h), ID_FORMAT_ITALIC));
        EXPECT_EQ(EntryText(h), "BIUK ") << "Ctrl+I inserts no tab";
        ui::Press("Ctrl+U");
        EXPECT_TRUE(Has(SelectionFormat(h), CFM_UNDERLINE, CFE_UNDERLINE));
        EXPECT_TRUE(Pressed(FormatBar(h), ID_FORMAT_UNDERLINE));
        // Twice on a uniform selection gives it back as it was.
        ui::Press("Ctrl+B");
        EXPECT_FALSE(Has(SelectionFormat(h), CFM_BOLD, CFE_BOLD));
        EXPECT_FALSE(Pressed(FormatBar(h), ID_FORMAT_BOLD));
        ui::Press("Ctrl+B");
        EXPECT_TRUE(Has(SelectionFormat(h), CFM_BOLD, CFE_BOLD));
        EXPECT_TRUE(Pressed(FormatBar(h), ID_FORMAT_BOLD));
        // The toolbar's Bold does what Ctrl+B does.
        ClickButton(FormatBar(h), ID_FORMAT_BOLD);
        EXPECT_FALSE(Has(SelectionFormat(h), CFM_BOLD, CFE_BOLD));
        EXPECT_FALSE(Pressed(FormatBar(h), ID_FORMAT_BOLD));
        EXPECT_EQ(::GetFocus() == nullptr, true);  // the focus is the dialog thread's
        EXPECT_EQ(ui::Focused(h), Entry(h)) << "commands give the focus back to the text";

        // Tab without Control is the control's own: a tab character.
        Select(h, 5, 5);
        ui::Press("Tab");
        EXPECT_EQ(EntryText(h), "BIUK \t");
        // Undo keeps the control's behaviour.
        Select(h, 6, 6);
        ui::Type(nullptr, "x");
        ui::Press("Ctrl+Z");
        EXPECT_EQ(EntryText(h), "BIUK \t");
    });
}

TEST(BlogEditorFormatting, BoldOverMixedTextFollowsWhatTheControlReports)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        SetEntryRtf(h, "{\\rtf1\\ansi\\pard\\fs20 {\\b a}bc plain\\par}");
        ui::Focus(Entry(h));
        Select(h, 0, 3);
        const bool bReported = (SelectionFormat(h).dwEffects & CFE_BOLD) != 0;
        EXPECT_FALSE(Pressed(FormatBar(h), ID_FORMAT_BOLD)) << "bold is not uniform";
        ui::Press("Ctrl+B");
        for (LONG i = 0; i < 3; ++i) {
            Select(h, i, i + 1);
            EXPECT_EQ(Has(SelectionFormat(h), CFM_BOLD, CFE_BOLD), !bReported) << i;
        }
        // Plain text becomes bold.
        Select(h, 4, 9);
        ui::Press("Ctrl+B");
        EXPECT_TRUE(Has(SelectionFormat(h), CFM_BOLD, CFE_BOLD));
    });
}

TEST(BlogEditorFormatting, SizeBoxFollowsTheTableSizesOnly)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        SetEntryRtf(h, "{\\rtf1\\ansi\\pard\\fs24 twelve \\fs22 eleven \\fs72 big\\par}");
        Select(h, 1, 3);
        EXPECT_EQ(SizeBoxText(h), "small");
        Select(h, 8, 10);
        EXPECT_EQ(SizeBoxText(h), "small") << "11 points is not in the box";
        Select(h, 16, 18);
        EXPECT_EQ(SizeBoxText(h), "xx-large");
        // Choosing a size sets it on the selection.
        Select(h, 0, 6);
        HWND hBox = ui::Control(h, IDC_EDITOR_TEXT_SIZE);
        ui::Focus(hBox);
        ui::Press("Down");  // "medium"
        EXPECT_EQ(SizeBoxText(h), "medium");
        Select(h, 0, 6);
        EXPECT_EQ(SelectionFormat(h).yHeight, 280);
        EXPECT_NE(EntryHtml(h).find("<font size=\"4\">twelve"), std::string::npos) << EntryHtml(h);
    });
}

TEST(BlogEditorFormatting, AlignmentButtonsFollowTheParagraphAndJustifiedLeavesThem)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        SetEntryRtf(h, "{\\rtf1\\ansi\\pard\\qc centre\\par\\pard\\qr right\\par\\pard justified\\par}");
        Select(h, 16, 16);
        PARAFORMAT2 justify{};
        justify.cbSize = sizeof justify;
        justify.dwMask = PFM_ALIGNMENT;
        justify.wAlignment = PFA_JUSTIFY;
        ::SendMessageA(Entry(h), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&justify));
        Select(h, 1, 1);
        EXPECT_TRUE(Pressed(FormatBar(h), ID_ALIGN_TEXT_CENTER));
        EXPECT_FALSE(Pressed(FormatBar(h), ID_ALIGN_TEXT_LEFT));
        Select(h, 9, 9);
        EXPECT_TRUE(Pressed(FormatBar(h), ID_ALIGN_TEXT_RIGHT));
        EXPECT_FALSE(Pressed(FormatBar(h), ID_ALIGN_TEXT_CENTER));
        Select(h, 16, 16);
        EXPECT_TRUE(Pressed(FormatBar(h), ID_ALIGN_TEXT_RIGHT)) << "justified leaves the buttons";
        EXPECT_FALSE(Pressed(FormatBar(h), ID_ALIGN_TEXT_LEFT));

        Select(h, 1, 1);
        ClickButton(FormatBar(h), ID_ALIGN_TEXT_LEFT);
        EXPECT_TRUE(Pressed(FormatBar(h), ID_ALIGN_TEXT_LEFT));
        EXPECT_FALSE(Pressed(FormatBar(h), ID_ALIGN_TEXT_CENTER));
        Select(h, 9, 9);
        ClickButton(FormatBar(h), ID_ALIGN_TEXT_CENTER);
        const std::string html = EntryHtml(h);
        EXPECT_NE(html.find("<p align=\"left\"><font size=\"3\">centre"), std::string::npos) << html;
        EXPECT_NE(html.find("<p align=\"center\"><font size=\"3\">right"), std::string::npos) << html;
    });
}

TEST(BlogEditorFormatting, ImagePlacementPressesOneOfFour)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        const int ids[] = {ID_ALIGN_IMAGE_LEFT, ID_ALIGN_IMAGE_RIGHT, ID_ALIGN_IMAGE_TOP, ID_ALIGN_IMAGE_BOTTOM};
        for (int chosen : {ID_ALIGN_IMAGE_TOP, ID_ALIGN_IMAGE_TOP, ID_ALIGN_IMAGE_BOTTOM, ID_ALIGN_IMAGE_RIGHT}) {
            ClickButton(ImageBar(h), chosen);
            for (int id : ids)
                EXPECT_EQ(Pressed(ImageBar(h), id), id == chosen) << chosen << " " << id;
        }
    });
}

TEST(BlogEditorFormatting, LinkToABareHostNameGetsTheWebSchemeAndConverts)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        ui::Type(Entry(h), "see ");
        EXPECT_TRUE(Enabled(FormatBar(h), ID_CREATE_LINK));
        ui::CUserScript answer([] {
            AnswerLinkDialog([](HWND hLink) {
                ui::Type(ui::Control(hLink, IDC_LINK_URL_TEXT), "my site");
                ui::Type(ui::Control(hLink, IDC_LINK_URL_ADDRESS), "www.example.com");
            });
        });
        ui::Press("Ctrl+K");
        answer.Join();
        EXPECT_EQ(EntryText(h), "see my site#\"http://www.example.com\"");
        Select(h, 5, 7);
        EXPECT_TRUE(Has(SelectionFormat(h), CFM_SHADOW, CFE_SHADOW));
        EXPECT_TRUE(Has(SelectionFormat(h), CFM_LINK, CFE_LINK));
        EXPECT_FALSE(Enabled(FormatBar(h), ID_CREATE_LINK)) << "inside a link";
        // What is typed after the link is plain text again.
        Select(h, 36, 36);
        ui::Type(nullptr, " after");
        Select(h, 37, 42);
        EXPECT_FALSE(Has(SelectionFormat(h), CFM_HIDDEN, CFE_HIDDEN));
        EXPECT_FALSE(Has(SelectionFormat(h), CFM_LINK, CFE_LINK));
        const std::string html = EntryHtml(h);
        EXPECT_NE(html.find("see <a href=\"http://www.example.com\"> my site</a> after"), std::string::npos) << html;
    });
}

TEST(BlogEditorFormatting, MailLinkWithSubjectAndProposedText)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        ui::Type(Entry(h), "word#1");
        Select(h, 0, 6);
        std::string proposed;
        ui::CUserScript answer([&] {
            AnswerLinkDialog([&](HWND hLink) {
                proposed = ui::Text(ui::Control(hLink, IDC_LINK_URL_TEXT));
                ui::Click(ui::Control(hLink, IDC_LINK_EMAIL));
                ui::Type(ui::Control(hLink, IDC_LINK_EMAIL_ADDRESS), "a@b.example");
                ui::Type(ui::Control(hLink, IDC_LINK_SUBJECT), "two words");
            });
        });
        ClickButton(FormatBar(h), ID_CREATE_LINK);
        answer.Join();
        EXPECT_EQ(proposed, "word");
        EXPECT_EQ(EntryText(h), "word#\"mailto:a@b.example?subject=two words\"");
    });
}

TEST(BlogEditorFormatting, LinkTextWithRtfCharactersIsKeptAsTyped)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        ui::CUserScript answer([] {
            AnswerLinkDialog([](HWND hLink) {
                ui::Type(ui::Control(hLink, IDC_LINK_URL_TEXT), "caf\xe9 {x} a\\b");
                ui::Type(ui::Control(hLink, IDC_LINK_URL_ADDRESS), "http://e.example/{p}\\q");
            });
        });
        ClickButton(FormatBar(h), ID_CREATE_LINK);
        answer.Join();
        EXPECT_EQ(EntryText(h), "caf\xe9 {x} a\\b#\"http://e.example/{p}\\q\"");
    });
}

TEST(BlogEditorFormatting, ClickedLinkIsRemovedAndEmptyTextOffersCreateOnly)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg& dlg) {
        EXPECT_TRUE(Enabled(FormatBar(h), ID_CREATE_LINK));
        EXPECT_FALSE(Enabled(FormatBar(h), ID_REMOVE_LINK));
        ui::Type(Entry(h), "go ");
        ui::CUserScript answer([] {
            AnswerLinkDialog([](HWND hLink) {
                ui::Type(ui::Control(hLink, IDC_LINK_URL_TEXT), "there");
                ui::Type(ui::Control(hLink, IDC_LINK_URL_ADDRESS), "https://x.example/");
            });
        });
        ui::Press("Ctrl+K");
        answer.Join();
        ui::Type(nullptr, " now");
        ClickCharacter(h, 5);
        EXPECT_EQ(dlg.m_nLinkStart, 3);
        EXPECT_EQ(dlg.m_nLinkEnd, 8);
        EXPECT_EQ(dlg.m_nHiddenStart, 8);
        EXPECT_EQ(dlg.m_nHiddenEnd, 29);
        EXPECT_TRUE(Enabled(FormatBar(h), ID_REMOVE_LINK));
        EXPECT_FALSE(Enabled(FormatBar(h), ID_CREATE_LINK));
        // Ctrl+K inside a link does nothing at all.
        ui::Press("Ctrl+K");
        EXPECT_TRUE(ui::FindWindows("Create Link").empty());
        EXPECT_EQ(EntryText(h), "go there#\"https://x.example/\" now");

        ClickButton(FormatBar(h), ID_REMOVE_LINK);
        EXPECT_EQ(EntryText(h), "go there now");
        Select(h, 3, 8);
        EXPECT_FALSE(Has(SelectionFormat(h), CFM_SHADOW, CFE_SHADOW));
        EXPECT_FALSE(Has(SelectionFormat(h), CFM_LINK, CFE_LINK));
        EXPECT_EQ(dlg.m_nLinkStart, -1);
        EXPECT_EQ(EntryHtml(h).find("<a "), std::string::npos);

        // An empty text offers Create link only, whatever was clicked before.
        Select(h, 0, -1);
        ui::Press("Delete");
        EXPECT_TRUE(Enabled(FormatBar(h), ID_CREATE_LINK));
        EXPECT_FALSE(Enabled(FormatBar(h), ID_REMOVE_LINK));
    });
}

TEST(BlogEditorFormatting, TypedCharactersBeyondTheCodePageAreKept)
{
    WithEditor(kTwoBlogs, [](HWND h, CBlogOutputDlg&) {
        ui::Type(Entry(h), L"\u00fc \u20ac \u65e5\u672c \u2615 ok");
        // Asked in UTF-16 of the control itself: its window text is 8-bit.
        wchar_t buffer[64] = {};
        GETTEXTEX how{sizeof buffer, GT_DEFAULT, 1200, nullptr, nullptr};
        ::SendMessageW(Entry(h), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(buffer));
        const std::wstring text = buffer;
        EXPECT_EQ(text, L"\u00fc \u20ac \u65e5\u672c \u2615 ok");
        const std::string html = EntryHtml(h);
        EXPECT_NE(html.find("&#26085;&#26412; &#9749; ok"), std::string::npos) << html;
        Select(h, 4, 6);
        EXPECT_EQ(SelectionFormat(h).yHeight, 200) << "in the caret's format";
    });
}
