// The converter's parts on their own: group finding, size mapping, the
// element stack's tag writing and the tokenizer.
#include <gtest/gtest.h>

#include <string>

#include "rtf2html/ElementStack.h"
#include "rtf2html/FontSize.h"
#include "rtf2html/GroupStripper.h"
#include "rtf2html/RtfTokenizer.h"

namespace {

using rtf2html::Element;

TEST(GroupStripper, FindsGroupsByNestingAndEscapes)
{
    rtf2html::CGroupStripper nested("a{b{c}d}e{x");
    EXPECT_EQ(nested.SkipFrom(1), 8u);
    EXPECT_EQ(nested.SkipFrom(9), 10u);  // no "}" for it: the "{" goes alone

    // Escaped braces inside a group neither open nor close anything.
    rtf2html::CGroupStripper escaped("a{b\\}c\\{d}e");
    EXPECT_EQ(escaped.SkipFrom(1), 10u);
    // An escaped backslash does not escape the brace after it.
    rtf2html::CGroupStripper backslash("a\\\\{b}c");
    EXPECT_EQ(backslash.SkipFrom(3), 6u);

    // An unmatched "{" does not stop the groups after it from going whole.
    rtf2html::CGroupStripper unmatched("{{a}{{b}}");
    EXPECT_EQ(unmatched.SkipFrom(0), 1u);
    EXPECT_EQ(unmatched.SkipFrom(1), 9u);

    // Touching groups go in one step; a jump back finds its group again.
    rtf2html::CGroupStripper touching("{a}{b}x{c}");
    EXPECT_EQ(touching.SkipFrom(0), 6u);
    EXPECT_EQ(touching.SkipFrom(7), 10u);
    EXPECT_EQ(touching.SkipFrom(3), 6u);
}

TEST(ElementStack, EmptyElementsAreTakenBack)
{
    std::string out;
    rtf2html::CElementStack stack(out);
    stack.OpenTag(Element::B);
    stack.CloseTag(Element::B);
    EXPECT_EQ(out, "");
    // Enclosing elements of removed ones go too; a line break is content.
    stack.OpenTag(Element::P);
    stack.OpenTag(Element::I);
    stack.OpenTag(Element::U);
    stack.CloseAllTags();
    EXPECT_EQ(out, "");
    stack.OpenTag(Element::P);
    stack.OpenTag(Element::B);
    stack.OpenTag(Element::U);
    out += "<br />";
    stack.CloseTag(Element::B);
    stack.CloseAllTags();
    EXPECT_EQ(out, "<p align=\"left\"><b><u><br /></u></b></p>");
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
    const auto since = [&out](std::size_t mark) { return out.substr(mark); };
    stack.OpenTag(Element::B);
    stack.OpenTag(Element::I);
    stack.OpenTag(Element::U);
    out += "x";
    std::size_t mark = out.size();
    stack.CloseTag(Element::B);
    EXPECT_EQ(since(mark), "</u></i></b><u><i>");
    mark = out.size();
    stack.CloseTag(Element::B);
    stack.OpenTag(Element::I);  // already open: RTF switches do not nest
    EXPECT_EQ(since(mark), "");
    out += "y";
    mark = out.size();
    stack.m_strAlignment = "right";
    stack.OpenParagraph();
    EXPECT_EQ(since(mark), "</i></u><p align=\"right\"><u><i>");
    EXPECT_EQ(stack.Depth(), 3u);
    mark = out.size();
    stack.OpenLink("t");
    out += "z";
    stack.CloseAllTags();
    EXPECT_EQ(since(mark), "<a href=\"t\">z</a></i></u></p>");
}

TEST(RtfTokenizer, WordsEndWhereRtfEndsThem)
{
    rtf2html::CRtfTokenizer tokens("\\fs-20x\\b0 ,\\'4", nullptr);
    rtf2html::CRtfToken t = tokens.Next();
    EXPECT_EQ(t.m_id, rtf2html::WordId::Fs);
    EXPECT_EQ(t.m_strWord, "fs-20");
    EXPECT_EQ(t.m_nParam, -20);
    EXPECT_FALSE(t.m_bSpaceDelimited);
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::Text);
    t = tokens.Next();
    EXPECT_TRUE(t.IsOff(rtf2html::WordId::B));
    EXPECT_TRUE(t.m_bSpaceDelimited);
    t = tokens.Next();
    EXPECT_EQ(t.m_kind, rtf2html::TokenKind::Text);
    EXPECT_EQ(t.m_nEnd - t.m_nBegin, 1u);
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::Symbol);  // broken hex escape
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::Text);
    EXPECT_EQ(tokens.Next().m_kind, rtf2html::TokenKind::End);

    rtf2html::CRtfTokenizer huge("\\fs99999999999999999999 x", nullptr);
    EXPECT_EQ(huge.Next().m_nParam, 1000000000L);
}

}  // namespace
