// Text of other scripts read with the system's own code pages: the entry the
// native tests convert with the C library's tables, converted here as the
// post converts it, through MultiByteToWideChar and WideCharToMultiByte.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "publish/PostComposition.h"
#include "rtf2html/CodePages.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(RtfCharsets, TheSystemsCodePagesReadAnEntryInFiveScripts)
{
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the expected post is the one of a Western system; this one's code page is " << ::GetACP();
    const std::string rtf = ReadFile(WP_TEST_DATA "/rtf/windows_scripts.rtf");
    std::string expected = ReadFile(WP_TEST_DATA "/rtf/windows_scripts.html");
    ASSERT_FALSE(rtf.empty());
    ASSERT_FALSE(expected.empty());
    if (expected.back() == '\n')
        expected.pop_back();
    const std::string html =
        publish::ConvertEntry(publish::TrimFinalParagraph(rtf), &rtf2html::WindowsCodePages());
    EXPECT_EQ(html, expected);
}

TEST(RtfCharsets, TheSystemsCodePagesPairJapaneseBytesAndRefuseLookAlikes)
{
    rtf2html::ICodePages& pages = rtf2html::WindowsCodePages();
    ASSERT_TRUE(pages.IsAvailable(932));
    ASSERT_TRUE(pages.IsAvailable(1251));
    EXPECT_FALSE(pages.IsAvailable(65001));  // more than two bytes a character
    EXPECT_TRUE(pages.IsLeadByte(932, 0x95));
    EXPECT_FALSE(pages.IsLeadByte(932, 0x5C));
    // A trail byte that is a backslash belongs to its lead byte: U+8868.
    EXPECT_EQ(pages.ToUnicode(932, "\x95\x5c", 2), U'\u8868');
    EXPECT_EQ(pages.ToUnicode(1251, "\xcf", 1), U'\u041f');
    std::string out;
    EXPECT_TRUE(pages.AppendAnsi(U'\u00e9', out));
    EXPECT_EQ(out, "\xe9");
    // A fullwidth letter is not written as its ASCII look-alike.
    EXPECT_FALSE(pages.AppendAnsi(U'\uff21', out));
    EXPECT_EQ(out, "\xe9");
}

}  // namespace
