#include "settings/QTVXmlString.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/CodePage.h"

namespace {

std::string Escaped(std::string s)
{
    QTVXmlString::EscapeText(s);
    return s;
}

std::string Unescaped(std::string s)
{
    QTVXmlString::UnescapeText(s);
    return s;
}

TEST(XmlEscaping, EscapesAndDecodesTheFiveCharacters)
{
    EXPECT_EQ(Escaped("a<b & 'c'"), "a&lt;b &amp; &apos;c&apos;");
    EXPECT_EQ(Unescaped("a&lt;b &amp; &apos;c&apos;"), "a<b & 'c'");
    EXPECT_EQ(Escaped("\"x\">"), "&quot;x&quot;&gt;");
    EXPECT_EQ(Unescaped("&quot;x&quot;&gt;"), "\"x\">");
}

TEST(XmlEscaping, DecodesNothingElse)
{
    for (const char* s : {"&#60;", "&nbsp;", "&", "a & b", "&amp", "&LT;", "&;", "&&"})
        EXPECT_EQ(Unescaped(s), s);
    // A decoded ampersand never starts a new entity.
    EXPECT_EQ(Unescaped("&amp;lt;"), "&lt;");
    EXPECT_EQ(Unescaped("&amp;amp;"), "&amp;");
    EXPECT_EQ(Unescaped("&&lt;;"), "&<;");
}

TEST(XmlEscaping, RoundTripGivesBackAnyText)
{
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    for (const std::string& s : {std::string("&lt;"), std::string("&amp;lt;&gt;&quot;&apos;&amp;"),
                                std::string("&#60;&nbsp;&"), std::string(";&;amp"), every, std::string()})
        EXPECT_EQ(Unescaped(Escaped(s)), s) << s;
    EXPECT_EQ(Escaped("&lt;"), "&amp;lt;");
}

TEST(XmlLookup, WalksRepeatedChildrenWithOneCursor)
{
    QTVXmlString text("<a><b>1</b><b>2</b></a>");
    QTVXmlString a;
    int cursor = 0;
    ASSERT_TRUE(text.GetElement("a", a, cursor));
    EXPECT_EQ(a, "<b>1</b><b>2</b>");
    EXPECT_EQ(cursor, static_cast<int>(text.size()) - 1);  // on the '>' of </a>

    int inner = 0;
    std::string b = "untouched";
    ASSERT_TRUE(a.GetElementText("b", b, inner));
    EXPECT_EQ(b, "1");
    EXPECT_EQ(inner, 7);
    ASSERT_TRUE(a.GetElementText("b", b, inner));
    EXPECT_EQ(b, "2");
    EXPECT_EQ(inner, 15);
    EXPECT_FALSE(a.GetElementText("b", b, inner));
    EXPECT_EQ(b, "2");
    EXPECT_EQ(inner, 15);
}

TEST(XmlLookup, CountsNestingAndSkipsAttributes)
{
    QTVXmlString nested("<x><x>in</x></x>");
    std::string result;
    int cursor = 0;
    ASSERT_TRUE(nested.GetElementText("x", result, cursor));
    EXPECT_EQ(result, "<x>in</x>");

    QTVXmlString withAttribute("<Login user=\"u\">name</Login>");
    cursor = 0;
    ASSERT_TRUE(withAttribute.GetElementText("Login", result, cursor));
    EXPECT_EQ(result, "name");

    // Names are exact: a longer name, other case or a prefix is another element.
    QTVXmlString similar("<Logins>a</Logins><login>b</login><Login>c</Login>");
    cursor = 0;
    ASSERT_TRUE(similar.GetElementText("<Login>", result, cursor));
    EXPECT_EQ(result, "c");
}

TEST(XmlLookup, OnlyAnExactClosingTagCloses)
{
    std::string result = "untouched";
    int cursor = 0;
    QTVXmlString spaced("<Login>name</Login >");
    EXPECT_FALSE(spaced.GetElementText("Login", result, cursor));
    QTVXmlString selfClosing("<Login/>");
    EXPECT_FALSE(selfClosing.GetElementText("Login", result, cursor));
    QTVXmlString unclosed("<Login>name");
    EXPECT_FALSE(unclosed.GetElementText("Login", result, cursor));
    QTVXmlString unterminated("<Login>name</Login");
    EXPECT_FALSE(unterminated.GetElementText("Login", result, cursor));
    EXPECT_EQ(result, "untouched");
    EXPECT_EQ(cursor, 0);

    // A closing tag before the element opens is ignored.
    QTVXmlString stray("</Login><Login>n</Login>");
    ASSERT_TRUE(stray.GetElementText("Login", result, cursor));
    EXPECT_EQ(result, "n");
}

TEST(XmlLookup, AMissingElementLeavesTheCursorForTheNext)
{
    QTVXmlString text("<?xml version=\"1.0\"?><!-- Server --><Login>me</Login><Server></Server>");
    std::string login;
    std::string server = "old";
    std::string absent = "kept";
    int cursor = 0;
    EXPECT_FALSE(text.GetElementText("Endpoint", absent, cursor));
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(absent, "kept");
    ASSERT_TRUE(text.GetElementText("Login", login, cursor));
    EXPECT_EQ(login, "me");
    ASSERT_TRUE(text.GetElementText("Server", server, cursor));
    EXPECT_EQ(server, "");
    // Nothing before the cursor is found again.
    EXPECT_FALSE(text.GetElementText("Login", login, cursor));

    for (int bad : {-1, static_cast<int>(text.size()), 1 << 30}) {
        int c = bad;
        EXPECT_FALSE(text.GetElementText("Login", login, c));
        EXPECT_EQ(c, bad);
    }
    cursor = 0;
    EXPECT_FALSE(text.GetElementText("", login, cursor));
    EXPECT_FALSE(text.GetElementText("<>", login, cursor));
}

TEST(XmlLookup, DecodesOnlyPlainCharacterData)
{
    struct Case {
        const char* inner;
        const char* expected;
    } cases[] = {
        {"Tom &amp; Jerry", "Tom & Jerry"},
        {"a &quot;b&quot;", "a \"b\""},
        {"a \"b\"", "a \"b\""},
        {"it's &amp;", "it's &amp;"},
        {"&amp;lt;", "&lt;"},
        {"x &gt; y", "x > y"},
    };
    for (const Case& c : cases) {
        QTVXmlString text(std::string("<v>") + c.inner + "</v>");
        std::string result;
        int cursor = 0;
        ASSERT_TRUE(text.GetElementText("v", result, cursor)) << c.inner;
        EXPECT_EQ(result, c.expected) << c.inner;
    }
}

// A code page in which 0x81 to 0x9F start two-byte characters, with any trail.
bool TestLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0x9F;
}
const settings::CodePage kDoubleByte = {TestLeadByte, settings::SingleByteCodePage().pfnFromUtf16};

class XmlDoubleByte : public ::testing::Test {
protected:
    void SetUp() override { settings::SetCodePage(&kDoubleByte); }
    void TearDown() override { settings::SetCodePage(nullptr); }
};

TEST_F(XmlDoubleByte, TrailBytesNeverMatch)
{
    QTVXmlString text("<a>\x81<</a>");
    std::string result;
    int cursor = 0;
    ASSERT_TRUE(text.GetElementText("a", result, cursor));
    EXPECT_EQ(result, "\x81<");
    EXPECT_EQ(Escaped("\x81<<\x81&"), "\x81<&lt;\x81&");
    EXPECT_EQ(Unescaped("\x81&lt;&lt;"), "\x81&lt;<");
    // A lead byte at the very end is a character of its own.
    EXPECT_EQ(Escaped("<\x81"), "&lt;\x81");

    settings::SetCodePage(nullptr);
    cursor = 0;
    EXPECT_FALSE(text.GetElementText("a", result, cursor));
}

TEST(XmlString, IndentFollowsLevelUnitAndFlag)
{
    QTVXmlString xml;
    EXPECT_EQ(xml.GetIndent(), "");
    xml.SetIndentUnit("  ");
    EXPECT_EQ(xml.AddIndent(3), 3);
    EXPECT_EQ(xml.AddIndent(-1), -1);
    EXPECT_EQ(xml.GetIndent(), "    ");
    xml.EnableIndent(false);
    EXPECT_EQ(xml.GetIndent(), "");
}

TEST(XmlString, ReceivingBufferAndWideText)
{
    QTVXmlString xml;
    char* buffer = xml.GetBuffer(8);
    std::memcpy(buffer, "<a>", 3);
    xml.ReleaseBuffer();
    EXPECT_EQ(xml, "<a>");
    buffer = xml.GetBuffer(4);
    std::memset(buffer, 'x', 5);  // the library overwrote the NUL as well
    xml.ReleaseBuffer();
    EXPECT_EQ(xml, "xxxxx");

    // Natively every UTF-16 unit up to 0xFF is one byte.
    EXPECT_EQ(QTVXmlString(std::wstring(L"a\x00e9\x4e2d")), "a\xe9?");
}

TEST(XmlLookup, DepthAndLengthCostNoStack)
{
    const int depth = 200000;
    std::string deep;
    for (int i = 0; i < depth; ++i)
        deep += "<x>";
    deep += "in";
    for (int i = 0; i < depth; ++i)
        deep += "</x>";
    QTVXmlString text(deep);
    std::string result;
    int cursor = 0;
    ASSERT_TRUE(text.GetElementText("x", result, cursor));
    EXPECT_EQ(result.size(), deep.size() - 7);
    // Unbalanced: every level opens, none closes.
    QTVXmlString open(deep.substr(0, depth * 3));
    cursor = 0;
    EXPECT_FALSE(open.GetElementText("x", result, cursor));
    EXPECT_EQ(cursor, 0);
}

}  // namespace
