// Text of other scripts as the Windows control writes it: a run in a font
// whose charset names the script, its characters as bytes of that script's
// code page. Read here with the C library's code pages; the Windows build
// reads them with the system's.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "publish/PostComposition.h"
#include "rtf2html/IconvCodePages.h"
#include "rtf2html/RtfConverter.h"

namespace {

// The header the control writes for an entry in Russian, Greek, Japanese and
// Chinese: one font a script, East Asian names in their own code page.
const std::string kHeader =
    R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fcharset0 Arial;})"
    R"({\f1\fswiss\fcharset204{\*\fname Arial;}Arial CYR;}{\f2\fswiss\fcharset161{\*\fname Arial;}Arial Greek;})"
    R"({\f3\fnil\fcharset128 \'82\'6c\'82\'72 \'82\'6f\'83\'53\'83\'56\'83\'62\'83\'4e;})"
    R"({\f4\fnil\fcharset134 \'cb\'ce\'cc\'e5;}{\f5\fnil\fcharset2 Symbol;}})"
    "\r\n"
    R"({\*\generator Msftedit 5.41.21.2510;}\viewkind4\uc1)";

std::string ConvertRtf(const std::string& rtf, unsigned ansiCodePage = 1252)
{
    rtf2html::CIconvCodePages codePages(ansiCodePage);
    return CRtfConverter(&codePages).Convert(rtf, "\\pard", true);
}

std::string Convert(const std::string& body, unsigned ansiCodePage = 1252)
{
    return ConvertRtf(kHeader + body + "\n}", ansiCodePage);
}

std::string Paragraph(const std::string& html)
{
    return "<p align=\"left\">" + html + "</p>";
}

TEST(RtfCharsets, ScriptsAsTheWindowsControlWritesThem)
{
    // Russian between Western text, which keeps its ANSI bytes.
    EXPECT_EQ(Convert(R"(\pard\f0 Hello \lang1049\f1\'cf\'f0\'e8\'e2\'e5\'f2\lang1033\f0  caf\'e9)"),
              Paragraph("Hello &#1055;&#1088;&#1080;&#1074;&#1077;&#1090; caf\xe9"));
    EXPECT_EQ(Convert(R"(\pard\lang1032\f2\'e1\'e2\'e3\f0 .)"), Paragraph("&#945;&#946;&#947;."));
    // Japanese: two bytes a character (the trail of the fourth and fifth is
    // 0x5C), a half-width kana of one byte.
    EXPECT_EQ(Convert(R"(\pard\lang1041\f3\'93\'fa\'96\'7b\'8c\'ea\'95\'5c\'83\'5c\'b1\f0 !)"),
              Paragraph("&#26085;&#26412;&#35486;&#34920;&#12477;&#65393;!"));
    // Trail bytes that are RTF's own characters, escaped; a line break of the
    // stream between lead and trail byte.
    EXPECT_EQ(Convert("\\pard\\f3\\'95\\\\\\'96\\{\\'90\\}\\'93\r\n\\'fa"),
              Paragraph("&#34920;&#26412;&#22259;&#26085;"));
    EXPECT_EQ(Convert(R"(\pard\lang2052\f4\'c4\'e3\'ba\'c3\'b0\'5c)"), Paragraph("&#20320;&#22909;&#30312;"));
    // HTML's specials stay escaped inside a run.
    EXPECT_EQ(Convert(R"(\pard\f1 <\'cf&%)"), Paragraph("&lt;&#1055;&amp;&#37;"));
}

TEST(RtfCharsets, UnicodeInsideACharsetRun)
{
    EXPECT_EQ(Convert(R"(\pard\f1\'cf\u8594?\'f0\f0\'e9)"), Paragraph("&#1055;&#8594;&#1088;\xe9"));
    // A fallback of two bytes in a double-byte run is skipped whole.
    EXPECT_EQ(Convert(R"(\pard\f3\'93\'fa\uc2\u9986\'81\'48\'96\'7b)"), Paragraph("&#26085;&#9986;&#26412;"));
    EXPECT_EQ(Convert(R"(\pard\f3\u-10179?\u-8704?\'93\'fa)"), Paragraph("&#128512;&#26085;"));
}

TEST(RtfCharsets, CharactersTheAnsiCodePageHoldsAreWrittenAsItsBytes)
{
    // A Japanese system: its own script keeps its bytes, Russian and Greek
    // become its bytes, a final sigma it lacks a reference. The document's
    // Western font is read in the document's code page.
    EXPECT_EQ(Convert(R"(\pard\f3\'95\'5c\'96\'7b\f1\'cf\'f0\f2\'e1\'f2\f0 caf\'e9)", 932),
              Paragraph("\x95\x5c\x96\x7b" "\x84\x50\x84\x82" "\x83\xbf&#962;caf&#233;"));
    EXPECT_EQ(Convert(R"(\pard\f1\'cf\'f0\f0 caf\'e9\f2\'e1)", 1251), Paragraph("\xcf\xf0" "caf&#233;&#945;"));
}

TEST(RtfCharsets, FontsFollowTheHeaderDeffAndPlain)
{
    // The default font is the body's first; "\plain" goes back to it.
    EXPECT_EQ(ConvertRtf(R"({\rtf1\ansi\deff1{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset204 B;}}\pard\'cf\f0\'e9\plain\'cf)"
                         "\n}"),
              Paragraph("&#1055;\xe9&#1055;"));
    // The older table without inner groups; "\ansicpg" after it still names
    // the code page of the Western fonts; "\cpg" names a font's outright.
    EXPECT_EQ(ConvertRtf(R"({\rtf1\ansi{\fonttbl\f0\fnil Courier;\f1\fnil\fcharset161 Courier Greek;\f2\cpg1253 G;})"
                         R"(\ansicpg1251\pard\f0\'cf\f1\'e1\f2\'e2)"
                         "\n}"),
              Paragraph("&#1055;&#945;&#946;"));
    // A font chosen before the body counts; fonts named in other groups of
    // the header do not.
    EXPECT_EQ(ConvertRtf(R"({\rtf1\ansi{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset204 B;}}{\stylesheet{\f0 Normal;}}\f1)"
                         R"(\pard\'cf)"
                         "\n}"),
              Paragraph("&#1055;"));
}

TEST(RtfCharsets, LinkTargetsAreReadInTheirFont)
{
    EXPECT_EQ(Convert(R"(\pard\f0 see \f1\shad\'cf\'f0\v\f3 #"http://x/\'95\'5c?a=1&b"\v0\f0  caf\'e9)"),
              Paragraph("see <a href=\"http://x/&#34920;?a=1&b\">&#1055;&#1088;</a> caf\xe9"));
    // The font the hidden text chose holds after the link.
    EXPECT_EQ(Convert(R"(\pard\f0\shad a\v\f1 #"http://t/"\v0 \'cf)"), Paragraph("<a href=\"http://t/\">a</a>&#1055;"));
}

TEST(RtfCharsets, DamagedTextGetsSafeDefaults)
{
    // A lead byte whose trail never comes is one replacement character; an
    // ASCII character after it is kept.
    EXPECT_EQ(Convert(R"(\pard\f3\'93 x\'93\b y\b0\'93)"), Paragraph("&#65533; x&#65533;<b>y</b>&#65533;"));
    // A byte the code page leaves undefined.
    EXPECT_EQ(Convert(R"(\pard\f1\'98)"), Paragraph("&#65533;"));
    // An unknown charset, a symbol font, a code page not known here and a
    // font the table does not declare keep the bytes as they are.
    EXPECT_EQ(ConvertRtf(R"({\rtf1\ansi{\fonttbl{\f0\fcharset0 A;}{\f1\fcharset99 B;}{\f2\fcharset2 Symbol;})"
                         R"({\f3\cpg99999 C;}}\pard\f1\'cf\f2\'b7\f3\'cf\f99999999999\'e9)"
                         "\n}"),
              Paragraph("\xcf\xb7\xcf\xe9"));
    // Without code pages to read them, bytes are kept as before.
    EXPECT_EQ(CRtfConverter().Convert(kHeader + R"(\pard\f1\'cf\'f0)" + "\n}", "\\pard", true), Paragraph("\xcf\xf0"));
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The entry as the control streams it out (line ends, closing paragraph mark
// and the stream's NUL), through the post's own steps.
std::string PostBody(const std::string& streamedRtf, unsigned ansiCodePage)
{
    rtf2html::CIconvCodePages codePages(ansiCodePage);
    const std::string html = publish::ConvertEntry(publish::TrimFinalParagraph(streamedRtf), &codePages);
    return publish::ComposeBody(html, publish::ImagePlacement::Bottom, "", "t");
}

TEST(RtfCharsets, AnEntryInFiveScriptsIsPostedWhole)
{
    const std::string rtf = ReadFile(std::string(WP_TEST_DATA) + "/rtf/windows_scripts.rtf");
    std::string expected = ReadFile(std::string(WP_TEST_DATA) + "/rtf/windows_scripts.html");
    ASSERT_FALSE(rtf.empty());
    ASSERT_FALSE(expected.empty());
    if (expected.back() == '\n')
        expected.pop_back();
    const std::string imageBlock = publish::ImageBlock(publish::ImagePlacement::Bottom, "", "t");
    EXPECT_EQ(PostBody(rtf, 1252), expected + imageBlock);

    // On a Japanese system the same entry carries Japanese and Russian as the
    // system's own bytes.
    const std::string japanese = PostBody(rtf, 932);
    EXPECT_NE(japanese.find("\x95\x5c\x8e\xa6\x82\xb7\x82\xe9"), std::string::npos) << japanese;
    EXPECT_NE(japanese.find("\x84\x50\x84\x82\x84\x79\x84\x72\x84\x75\x84\x84"), std::string::npos) << japanese;
    EXPECT_NE(japanese.find("<a href=\"http://example.jp/\x95\x5c\">\x93\xfa\x96\x7b</a>"), std::string::npos)
        << japanese;
}

TEST(IconvCodePages, ReadsPairsAndRefusesLookAlikes)
{
    rtf2html::CIconvCodePages japanese(932);
    EXPECT_TRUE(japanese.IsLeadByte(932, 0x95));
    EXPECT_FALSE(japanese.IsLeadByte(932, 0xb1));
    EXPECT_EQ(japanese.ToUnicode(932, "\x95\x5c", 2), U'\u8868');
    EXPECT_FALSE(japanese.IsAvailable(424242));
    std::string out;
    EXPECT_TRUE(japanese.AppendAnsi(U'\uff41', out));
    EXPECT_EQ(out, "\x82\x81");
    // The C library writes a yen sign as 0x5C, which the page reads back as a
    // backslash: that is no way to carry it.
    EXPECT_FALSE(japanese.AppendAnsi(U'\u00a5', out));
    rtf2html::CIconvCodePages western(1252);
    EXPECT_FALSE(western.AppendAnsi(U'\uff41', out)) << "a fullwidth letter is no ASCII letter";
    EXPECT_EQ(out, "\x82\x81");
}

}  // namespace

#endif  // _WIN32
