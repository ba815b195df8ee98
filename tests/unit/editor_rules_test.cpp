// The Blog Editor's text rules: sizes, alignment buttons, link addresses and
// the RTF a link is inserted as.
#include <gtest/gtest.h>

#include "editor/EntryFormat.h"
#include "editor/LinkRules.h"
#include "output/OutputRules.h"
#include "rtf2html/RtfConverter.h"

using namespace editor;

TEST(EditorRules, SizesMapBothWaysAndOnlyTheTableSizesAreKnown)
{
    const int heights[] = {170, 200, 240, 280, 360, 480, 720};
    for (int i = 0; i < kTextSizeCount; ++i) {
        EXPECT_EQ(HeightOfTextSize(i), heights[i]);
        EXPECT_EQ(TextSizeOfHeight(heights[i]), i);
    }
    EXPECT_EQ(HeightOfTextSize(-1), 200) << "no entry chosen";
    EXPECT_EQ(HeightOfTextSize(7), 200);
    EXPECT_EQ(TextSizeOfHeight(220), -1);
    EXPECT_EQ(TextSizeOfHeight(0), -1);
}

TEST(EditorRules, AlignmentButtonsForEachParagraphAlignment)
{
    EXPECT_EQ(ButtonsForAlignment(kAlignLeft), AlignButtons::Left);
    EXPECT_EQ(ButtonsForAlignment(kAlignRight), AlignButtons::Right);
    EXPECT_EQ(ButtonsForAlignment(kAlignCenter), AlignButtons::Center);
    EXPECT_EQ(ButtonsForAlignment(4), AlignButtons::Unchanged) << "justified";
    EXPECT_EQ(ButtonsForAlignment(0), AlignButtons::Unchanged);
}

TEST(EditorRules, LinkAddressesAndProposedText)
{
    EXPECT_EQ(NormalizeLinkAddress("www.example.com"), "http://www.example.com");
    EXPECT_EQ(NormalizeLinkAddress("me@example.com"), "http://me@example.com");
    EXPECT_EQ(NormalizeLinkAddress("HTTPS://x.example/"), "HTTPS://x.example/") << "schemes in any case";
    EXPECT_EQ(NormalizeLinkAddress("ftp://f/"), "ftp://f/");
    EXPECT_EQ(NormalizeLinkAddress("MailTo:a@b.example"), "MailTo:a@b.example");
    EXPECT_EQ(NormalizeLinkAddress("  https://x/ "), "https://x/");
    EXPECT_EQ(NormalizeLinkAddress(""), "");
    EXPECT_EQ(NormalizeLinkAddress("   "), "");
    // A scheme counts only at the start: nothing else is taken as given.
    EXPECT_EQ(NormalizeLinkAddress("javascript:alert(1)//http://"), "http://javascript:alert(1)//http://");
    EXPECT_EQ(NormalizeLinkAddress("JavaScript:alert(1)"), "http://JavaScript:alert(1)");
    EXPECT_EQ(NormalizeLinkAddress("data:text/html,<b>x</b>"), "http://data:text/html,<b>x</b>");
    EXPECT_EQ(NormalizeLinkAddress("see https://x in the middle"), "http://see https://x in the middle");
    EXPECT_EQ(NormalizeLinkAddress("ftps://f/"), "http://ftps://f/");
    EXPECT_EQ(NormalizeLinkAddress("httpx://f/"), "http://httpx://f/");
    EXPECT_EQ(MailtoAddress("a@b.example", "two words"), "mailto:a@b.example?subject=two words");
    EXPECT_EQ(MailtoAddress("a@b.example", ""), "mailto:a@b.example");
    EXPECT_EQ(ProposedLinkText("word#1"), "word");
    EXPECT_EQ(ProposedLinkText("plain"), "plain");
    EXPECT_EQ(ProposedLinkText("#x"), "");
}

TEST(EditorRules, LinkRtfKeepsWhatTheUserTypedAndConvertsToAnAnchor)
{
    EXPECT_EQ(BuildLinkRtf("caf\xe9 {x} a\\b", "http://e/", 1252),
              "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\{x\\} a\\\\b\\v #\"http://e/\"\\v0}");
    EXPECT_EQ(EscapeRtfText("\x80\xff"), "\\'80\\'ff");
    // As the control writes a link back out, the converter makes an anchor.
    const std::string html = CRtfConverter().Convert(
        "{\\rtf1\\ansi\\pard\\fs20 see \\shad my site\\v\\shad0 #\"http://www.example.com\"\\v0  now\n}", "\\pard", true);
    EXPECT_NE(html.find("<a href=\"http://www.example.com\"> my site</a> now"), std::string::npos) << html;
}

TEST(EditorRules, HiddenPartAfterALink)
{
    EXPECT_EQ(HiddenPartLength("#\"http://x/\" more"), 12u);
    EXPECT_EQ(HiddenPartLength(" #\"t\""), 5u) << "the number sign may stand one further on";
    EXPECT_EQ(HiddenPartLength("#\"unterminated"), 0u);
    EXPECT_EQ(HiddenPartLength("plain"), 0u);
    EXPECT_EQ(HiddenPartLength(""), 0u);
    // In a double-byte code page the control counts a character where the
    // text has two bytes: an address with Japanese characters (Shift-JIS, a
    // trail byte that is a backslash among them) ends where the control says.
    const auto isShiftJisLead = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    EXPECT_EQ(HiddenPartLength("#\"http://x.jp/\x93\xfa\x96\x7b\x95\x5c\" after", isShiftJisLead), 18u);
    EXPECT_EQ(HiddenPartLength("#\"http://x.jp/\x93\xfa\x96\x7b\x95\x5c\" after"), 21u) << "counted in bytes";
    EXPECT_EQ(HiddenPartLength("#\"\x93", isShiftJisLead), 0u) << "a lead byte cut off at the end";
    EXPECT_TRUE(IsBlank(" \r\t\n"));
    EXPECT_FALSE(IsBlank(" x "));
}

TEST(OutputRules, PopupTextAndTheAddressesTheClickMayOpen)
{
    EXPECT_EQ(output::PopupDisplayText("http://www.c.example/"), "c.example/");
    EXPECT_EQ(output::PopupDisplayText("https://WWW.d.example/www/"), "d.example/www/");
    EXPECT_EQ(output::PopupDisplayText("http://blog.example/"), "blog.example/");
    EXPECT_EQ(output::PopupDisplayText("plain"), "plain");
    EXPECT_TRUE(output::IsWebAddress("http://www.c.example/"));
    EXPECT_TRUE(output::IsWebAddress("HTTPS://user@host.example:8080/p?q#f"));
    for (const char* bad : {"file:///C:/windows/system32/calc.exe", "C:\\windows\\calc.exe", "calc.exe",
                            "\\\\server\\share", "http://", "http:///path", "http://a b/", "http://x\\y",
                            "javascript:alert(1)", "http://\xef\xbd\x81.example/", "ftp://f/", ""})
        EXPECT_FALSE(output::IsWebAddress(bad)) << bad;
}
