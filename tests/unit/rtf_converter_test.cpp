#include "rtf2html/RtfConverter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ConvertRtf(const std::string& rtf, bool closeAll = true)
{
    CRtfConverter converter;
    return converter.Convert(rtf, "\\pard", closeAll);
}

// A body as the post hands it over: after the document's opening, ended by a
// line feed and the closing brace.
std::string ConvertBody(const std::string& body)
{
    return ConvertRtf("{\\rtf1" + body + "\n}");
}

TEST(RtfConverter, EditorDocumentWithParagraphsStylesSizesAndLink)
{
    EXPECT_EQ(ConvertRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\viewkind4\\uc1\\pard\\f0\\fs20 Hello \\b bold\\b0  "
                         "& <more> 50%\\par \\pard\\qc\\fs28 Centered \\i it\\par see \\shad site\\v #\"http://target/\"\\v0  end\n}"),
              "<p align=\"left\"><font size=\"2\">Hello <b>bold</b> &amp; &lt;more&gt; 50&#37;<br /></font></p>"
              "<p align=\"center\"><font size=\"4\">Centered <i>it<br />see <a href=\"http://target/\"> site</a> end</i></font></p>");
}

TEST(RtfConverter, NoBodyGivesNothing)
{
    EXPECT_EQ(ConvertRtf(""), "");
    EXPECT_EQ(ConvertRtf("{\\rtf1\\ansi\\f0 text without a paragraph\n}"), "");
    EXPECT_EQ(ConvertRtf("{\\rtf1\\pard\n}"), "");  // an empty paragraph leaves no element
}

TEST(RtfConverter, ClosingAStyleReopensTheStylesInsideIt)
{
    EXPECT_EQ(ConvertBody("\\pard\\b\\i\\ul x\\b0 y"),
              "<p align=\"left\"><b><i><u>x</u></i></b><u><i>y</i></u></p>");
    EXPECT_EQ(ConvertBody("\\pard\\ul u\\ul0 v\\ul w\\ulnone z"), "<p align=\"left\"><u>u</u>v<u>w</u>z</p>");
}

TEST(RtfConverter, EscapedBracesAndBackslashesAreText)
{
    EXPECT_EQ(ConvertBody("\\pard A\\}B\\\\C\\{D"), "<p align=\"left\">A}B\\C{D</p>");
}

TEST(RtfConverter, ParagraphMarks)
{
    EXPECT_EQ(ConvertBody("\\pard\\par"), "<br /><br />");
    EXPECT_EQ(ConvertBody("\\pard\\par x\\pard y"), "<br /><br />x<p align=\"left\">y</p>");
    EXPECT_EQ(ConvertBody("\\pard\\fs20 one\\par two\\par\\par three"),
              "<p align=\"left\"><font size=\"2\">one<br />two<br /><br />three</font></p>");
    // Alignment belongs to the paragraph whose "\pard" it follows.
    EXPECT_EQ(ConvertBody("\\pard\\qr a\\par\\pard b\\par\\pard\\qc c"),
              "<p align=\"right\">a<br /></p><p align=\"left\">b<br /></p><p align=\"center\">c</p>");
    // Styles carry over into the next paragraph.
    EXPECT_EQ(ConvertBody("\\pard\\b a\\par\\pard\\qc b"),
              "<p align=\"left\"><b>a<br /></b></p><p align=\"center\"><b>b</b></p>");
}

TEST(RtfConverter, SizesMapByTheirLastTwoDigits)
{
    EXPECT_EQ(ConvertBody("\\pard\\fs120 a\\fs8 b"),
              "<p align=\"left\"><font size=\"2\">a</font><font size=\"3\">b</font></p>");
    EXPECT_EQ(ConvertBody("\\pard\\fs17 a\\fs72 b"),
              "<p align=\"left\"><font size=\"1\">a</font><font size=\"7\">b</font></p>");
}

TEST(RtfConverter, GroupsVanishStrayBracesDoNotLoseText)
{
    EXPECT_EQ(ConvertBody("\\pard a{\\*\\pict{\\x}0123}b{\\b c"), "<p align=\"left\">ab</p>");
    // A stray "{" vanishes alone; the text after it stays.
    EXPECT_EQ(ConvertRtf("{\\rtf1\\pard a{b\\b c"), "<p align=\"left\">ab<b>c</b></p>");
    // A stray "}" ends the body with everything closed, flag or not.
    EXPECT_EQ(ConvertRtf("{\\rtf1\\pard\\b a} b\n}", false), "<p align=\"left\"><b>a</b></p>");
    // Without the flag the open elements are left open.
    EXPECT_EQ(ConvertRtf("{\\rtf1\\pard\\b a", false), "<p align=\"left\"><b>a");
}

TEST(RtfConverter, NoPerCentSignSurvives)
{
    const std::string html = ConvertBody("\\pard 100% \\'25 \\shad x\\v #\"http://h/a%20b\"\\v0 ");
    EXPECT_EQ(html, "<p align=\"left\">100&#37; &#37; <a href=\"http://h/a&#37;20b\"> x</a></p>");
}

TEST(RtfConverter, TextGluedToControlWordsIsKept)
{
    EXPECT_EQ(ConvertBody("\\pard\\fs20 x\\'e9tude y\\tab z\\b0, w"),
              "<p align=\"left\"><font size=\"2\">x\xe9tude y\tz, w</font></p>");
    EXPECT_EQ(ConvertBody("\\pard\\b bold\\b0.\\i it\\i0! 1\\ul 2\\ulnone -3"),
              "<p align=\"left\"><b>bold</b>.<i>it</i>! 1<u>2</u>-3</p>");
    // Escaped bytes are text like any other: HTML specials are escaped.
    EXPECT_EQ(ConvertBody("\\pard \\'26\\'3c\\'3e\\'41"), "<p align=\"left\">&amp;&lt;&gt;A</p>");
    // Only one space belongs to a control word.
    EXPECT_EQ(ConvertBody("\\pard\\b  x"), "<p align=\"left\"><b> x</b></p>");
}

TEST(RtfConverter, ControlWordsWithoutTextBetweenThemFormOneRun)
{
    EXPECT_EQ(ConvertBody("\\pard\\qc\\fs28 x"), "<p align=\"center\"><font size=\"4\">x</font></p>");
    EXPECT_EQ(ConvertBody("\\pard \\qc \\fs28 x"), "<p align=\"center\"><font size=\"4\">x</font></p>");
    EXPECT_EQ(ConvertBody("\\pard \\par"), "<br /><br />");
    std::string longRun = "\\pard";
    for (int i = 0; i < 1000; ++i)
        longRun += "\\f0\\lang1033";
    EXPECT_EQ(ConvertBody(longRun + "\\qc\\b x"), "<p align=\"center\"><b>x</b></p>");
    // The control's line ends are no text and split no run.
    EXPECT_EQ(ConvertBody("\\pard a\\par\r\n\\pard\\qr\r\nb\r\nc"), "<p align=\"left\">a<br /></p><p align=\"right\">bc</p>");
}

TEST(RtfConverter, CharacterWords)
{
    EXPECT_EQ(ConvertBody("\\pard a\\line b\\tab c\\~d\\emdash\\lquote q\\rquote\\bullet"),
              "<p align=\"left\">a<br />b\tc&nbsp;d&#8212;&#8216;q&#8217;&#8226;</p>");
    // "\bullet" is a character, not a bold switch.
    EXPECT_EQ(ConvertBody("\\pard\\bullet x"), "<p align=\"left\">&#8226;x</p>");
}

TEST(RtfConverter, NonAsciiText)
{
    // Bytes of the document's code page pass through, escaped or raw.
    EXPECT_EQ(ConvertBody("\\pard caf\\'e9 \xfc\\'fc"), "<p align=\"left\">caf\xe9 \xfc\xfc</p>");
    EXPECT_EQ(ConvertBody("\\pard\\uc1\\u8364?5 \\u-3913?x"), "<p align=\"left\">&#8364;5 &#61623;x</p>");
    // The fallback can be an escape; "\uc0" means there is none, "\uc2" two.
    EXPECT_EQ(ConvertBody("\\pard\\u233\\'e9a\\uc0\\u233 b\\uc2\\u233\\'e9\\'e9c"),
              "<p align=\"left\">&#233;a&#233;b&#233;c</p>");
    // A character beyond 16 bits arrives as two halves.
    EXPECT_EQ(ConvertBody("\\pard\\u-10179?\\u-8704?!"), "<p align=\"left\">&#128512;!</p>");
    EXPECT_EQ(ConvertBody("\\pard\\u-10179?x\\u0?y"), "<p align=\"left\">&#65533;x&#65533;y</p>");
}

TEST(RtfConverter, Links)
{
    EXPECT_EQ(ConvertBody("\\pard mail \\shad x\\v #\"mailto:b?subject=c d\"\\v0  end"),
              "<p align=\"left\">mail <a href=\"mailto:b?subject=c d\"> x</a> end</p>");
    // A size change inside the link text closes the link and reopens it bare.
    EXPECT_EQ(ConvertBody("\\pard\\fs20 x \\shad y\\fs28 z\\v #\"http://t/\"\\v0  w"),
              "<p align=\"left\"><font size=\"2\">x <a href=\"http://t/\"> y</a></font><a><font size=\"4\">z</font></a>"
              "<font size=\"4\"> w</font></p>");
    // Words glued to the shadow word take its space.
    EXPECT_EQ(ConvertBody("\\pard a\\b\\shad x\\v #\"ftp://t/\"\\v0 y"),
              "<p align=\"left\">a<a href=\"ftp://t/\"><b>x</b></a><b>y</b></p>");
    // A link that starts a paragraph opens the paragraph first.
    EXPECT_EQ(ConvertBody("\\pard a\\par\r\n\\pard\\qc\\shad x\\v #\"https://t/\"\\v0 y"),
              "<p align=\"left\">a<br /></p><p align=\"center\"><a href=\"https://t/\"> x</a>y</p>");
    // Outside a paragraph the link is the outermost element.
    EXPECT_EQ(ConvertBody("\\pard\\par\r\n\\b\\shad x\\v #\"http://t/\"\\v0 y"),
              "<br /><br /><a href=\"http://t/\"><b>x</b></a><b>y</b>");
    // Escapes in the hidden text are decoded; what would end the tag is not.
    EXPECT_EQ(ConvertBody("\\pard\\shad x\\v #\"http://h/\\'e9\\\\<>&a\"\\v0 "),
              "<p align=\"left\"><a href=\"http://h/\xe9\\&lt;&gt;&a\"> x</a></p>");
    EXPECT_EQ(ConvertBody("\\pard\\shad a\\v #\"http://1/\"\\v0  b \\shad c\\v #\"http://2/\"\\v0 "),
              "<p align=\"left\"><a href=\"http://1/\"> a</a> b <a href=\"http://2/\"> c</a></p>");
    // Shadow switched off is no link.
    EXPECT_EQ(ConvertBody("\\pard a\\shad0 b"), "<p align=\"left\">ab</p>");
}

TEST(RtfConverter, DamagedLinksKeepTheTextAfterThem)
{
    // Shadowed text without a whole target is no link: its text stays,
    // plain, and the text goes on after the hidden part.
    EXPECT_EQ(ConvertBody("\\pard a \\shad b\\v c\\v0 d"), "<p align=\"left\">a  bd</p>");
    EXPECT_EQ(ConvertBody("\\pard\\shad b\\v #\"http://t\\v0 d"), "<p align=\"left\"> bd</p>");
    EXPECT_EQ(ConvertBody("\\pard\\shad b\\v #\"\"\\v0 d"), "<p align=\"left\"> bd</p>");
    // No hidden text at all: no link over the rest of the paragraph.
    EXPECT_EQ(ConvertBody("\\pard\\shad b\\par c"), "<p align=\"left\"> b<br />c</p>");
}

TEST(RtfConverter, OnlyWebAndMailTargetsBecomeLinks)
{
    // Pasted rich text can carry any target: one that could run script on
    // the blog leaves its text plain, whatever the case of its scheme.
    for (const char* target : {"javascript:alert(1)", "JavaScript:alert(1)", " javascript:alert(1)",
                               "data:text/html;base64,PHNjcmlwdD4=", "vbscript:x", "t", "//evil.example/",
                               "javascript:alert(1)//http://", "file:///c:/x"}) {
        EXPECT_EQ(ConvertBody(std::string("\\pard a \\shad b\\v #\"") + target + "\"\\v0  c"),
                  "<p align=\"left\">a  b c</p>")
            << target;
    }
    for (const char* target : {"http://x/", "HTTPS://X/", "Ftp://f/", "MAILTO:a@b.example"}) {
        EXPECT_EQ(ConvertBody(std::string("\\pard\\shad b\\v #\"") + target + "\"\\v0  c"),
                  std::string("<p align=\"left\"><a href=\"") + target + "\"> b</a> c</p>")
            << target;
    }
}

TEST(RtfConverter, HiddenTextThatIsNoTargetIsDropped)
{
    EXPECT_EQ(ConvertBody("\\pard Public \\v SECRET\\v0 text"), "<p align=\"left\">Public text</p>");
    // Every kind of character inside it, and "\\plain" ends it.
    EXPECT_EQ(ConvertBody("\\pard a\\v\\'e9\\u8364?\\~\\emdash\\tab x\\plain b"), "<p align=\"left\">ab</p>");
    EXPECT_EQ(ConvertBody("\\pard a\\v1 x\\v0 b\\v x\\par c\\v0 d"), "<p align=\"left\">ab<br />d</p>");
    // Hidden shadowed text is no link either.
    EXPECT_EQ(ConvertBody("\\pard a\\v \\shad x\\v0 b"), "<p align=\"left\">ab</p>");
    // What follows a target's closing quote inside the hidden text stays hidden.
    EXPECT_EQ(ConvertBody("\\pard\\shad a\\v #\"http://x/\" SECRET\\v0  b"),
              "<p align=\"left\"><a href=\"http://x/\"> a</a> b</p>");
    // A link after hidden text is still a link.
    EXPECT_EQ(ConvertBody("\\pard\\v h\\v0 a \\shad l\\v #\"http://x/\"\\v0 "),
              "<p align=\"left\">a <a href=\"http://x/\"> l</a></p>");
}

TEST(RtfConverter, PathologicalInputStaysLinear)
{
    std::string braces(20000, '{');
    EXPECT_EQ(ConvertRtf("\\pard x" + braces + "y"), "<p align=\"left\">xy</p>");

    std::string bolds = "\\pard";
    for (int i = 0; i < 1000000; ++i)
        bolds += "\\b";
    EXPECT_EQ(ConvertRtf(bolds + " x\n}"), "<p align=\"left\"><b>x</b></p>");

    // Every switch writes a bounded number of tags, however many styles came before.
    std::string toggles = "\\pard\\b\\i\\ul\\fs20";
    for (int i = 0; i < 100000; ++i)
        toggles += "\\b0 x\\b y";
    const std::string html = ConvertRtf(toggles + "\n}");
    EXPECT_LT(html.size(), toggles.size() * 6);
    const std::string end = "x<b>y</b></i></u></font></p>";
    ASSERT_GT(html.size(), end.size());
    EXPECT_EQ(html.substr(html.size() - end.size()), end);
}

}  // namespace
