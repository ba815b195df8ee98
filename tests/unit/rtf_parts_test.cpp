// The converter's passes on their own: group removal, empty-element removal,
// size mapping and the element stack's tag writing.
#include <gtest/gtest.h>

#include <string>

#include "rtf2html/ElementStack.h"
#include "rtf2html/EmptyElementRemover.h"
#include "rtf2html/FontSize.h"
#include "rtf2html/GroupStripper.h"
#include "rtf2html/RtfTokenizer.h"

namespace {

using rtf2html::Element;

TEST(StripGroups, RemovesGroupsButNotEscapedBraces)
{
    EXPECT_EQ(rtf2html::StripGroups("a{b{c}d}e"), "ae");
    EXPECT_EQ(rtf2html::StripGroups("a\\{b\\}c"), "a\\{b\\}c");
    // Escaped braces inside a group neither open nor close anything.
    EXPECT_EQ(rtf2html::StripGroups("a{b\\}c\\{d}e"), "ae");
    // An escaped backslash does not escape the brace after it.
    EXPECT_EQ(rtf2html::StripGroups("a\\\\{b}c"), "a\\\\c");
    // An unmatched "{" goes alone; a group after it still goes whole.
    EXPECT_EQ(rtf2html::StripGroups("a{b{c}d"), "abd");
    EXPECT_EQ(rtf2html::StripGroups("{{{{x"), "x");
    // The first "}" that closes no group ends the text.
    EXPECT_EQ(rtf2html::StripGroups("a{b}c}d{e}f"), "ac}");
    EXPECT_EQ(rtf2html::StripGroups("a\\"), "a\\");
}

TEST(RemoveEmptyElements, DropsElementsWithoutContent)
{
    EXPECT_EQ(rtf2html::RemoveEmptyElements(""), "");
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<p align=\"left\"><b></b><i><u></u></i>x</p><font size=\"2\"></font>"),
              "<p align=\"left\">x</p>");
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<p align=\"left\"><b><br /></b></p>"), "<p align=\"left\"><b><br /></b></p>");
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<p><a href=\"t\"></a></p>"), "");
}

TEST(RemoveEmptyElements, PairsTagsByNestingAndClosesEverything)
{
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<b><b></b>x</b>"), "<b>x</b>");
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<b>x<b></b></b>"), "<b>x</b>");
    // A closing tag without its opening tag is dropped.
    EXPECT_EQ(rtf2html::RemoveEmptyElements("x</b>y"), "xy");
    // Unclosed elements are closed where an outer one closes, or at the end.
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<p><b>x</p>y<i>z"), "<p><b>x</b></p>y<i>z</i>");
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<p><b></p><i>"), "");
    // A "<" that starts no tag is text.
    EXPECT_EQ(rtf2html::RemoveEmptyElements("<b>a<b"), "<b>a<b</b>");
}

TEST(RemoveEmptyElements, DeepNestingNeedsNoRecursion)
{
    std::string html;
    for (int i = 0; i < 200000; ++i)
        html += "<b>";
    html += "x";
    EXPECT_EQ(rtf2html::RemoveEmptyElements(html).size(), 200000 * 7 + 1);
    for (int i = 0; i < 200000; ++i)
        html += "</i>";
    EXPECT_EQ(rtf2html::RemoveEmptyElements(html).size(), 200000 * 7 + 1);
}

TEST(MapFontSize, EditorSizesAndTheLastTwoCharacters)
{
    const char* const words[] = {"fs17", "fs20", "fs24", "fs28", "fs36", "fs48", "fs72"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(rtf2html::MapFontSize(words[i]), std::to_string(i + 1)) << words[i];
    EXPECT_EQ(rtf2html::MapFontSize("fs22"), "3");
    EXPECT_EQ(rtf2html::MapFontSize("fs136"), "5");
    EXPECT_EQ(rtf2html::MapFontSize("fs8"), "3");
    EXPECT_EQ(rtf2html::MapFontSize("fs"), "3");
}

TEST(ElementStack, CloseReopensInnerElementsInnermostFirst)
{
    std::string out;
    rtf2html::CElementStack stack(out);
    stack.OpenTag(Element::B);
    stack.OpenTag(Element::I);
    stack.OpenTag(Element::U);
    out.clear();
    stack.CloseTag(Element::B);
    EXPECT_EQ(out, "</u></i></b><u><i>");
    out.clear();
    stack.CloseTag(Element::B);
    EXPECT_EQ(out, "");
    stack.OpenTag(Element::I);  // already open: RTF switches do not nest
    EXPECT_EQ(out, "");
    stack.m_strAlignment = "right";
    stack.OpenParagraph();
    EXPECT_EQ(out, "</i></u><p align=\"right\"><u><i>");
    EXPECT_EQ(stack.Depth(), 3u);
    out.clear();
    stack.OpenLink("t");
    stack.CloseAllTags();
    EXPECT_EQ(out, "<a href=\"t\"></a></i></u></p>");
}

TEST(RtfTokenizer, WordsEndWhereRtfEndsThem)
{
    rtf2html::CRtfTokenizer tokens("\\fs-20x\\b0 ,\\'4");
    rtf2html::CRtfToken t = tokens.Next();
    EXPECT_TRUE(t.IsWord("fs-20"));
    EXPECT_EQ(t.m_nParam, -20);
    EXPECT_FALSE(t.m_bSpaceDelimited);
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::Text);
    t = tokens.Next();
    EXPECT_TRUE(t.IsOff("b"));
    EXPECT_TRUE(t.m_bSpaceDelimited);
    t = tokens.Next();
    EXPECT_EQ(t.m_kind, rtf2html::TokenKind::Text);
    EXPECT_EQ(t.m_nEnd - t.m_nBegin, 1u);
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::Symbol);  // broken hex escape
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::Text);
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::End);

    rtf2html::CRtfTokenizer huge("\\fs99999999999999999999 x");
    EXPECT_EQ(huge.Next().m_nParam, 1000000000L);
}

}  // namespace
