// How a post is put together: the trimmed RTF, the image's size and block,
// and a title that survives the 8-bit boundary.
#include <gtest/gtest.h>

#include "publish/PostComposition.h"

using namespace publish;

TEST(PostComposition, TrimFinalParagraphCutsAtTheLastParagraphMark)
{
    EXPECT_EQ(TrimFinalParagraph("{\\rtf1 \\pard a\\par b\\par\r\n}"), "{\\rtf1 \\pard a\\par b\n}");
    // "\pard" counts too: the last occurrence wins.
    EXPECT_EQ(TrimFinalParagraph("{x\\par y\\pard z}"), "{x\\par y\n}");
    EXPECT_EQ(TrimFinalParagraph("{no marks}"), "\n}");
    EXPECT_EQ(TrimFinalParagraph("\\par only at the start"), "\n}");
    EXPECT_EQ(TrimFinalParagraph(""), "\n}");
    // Whatever follows the mark goes, NULs of the stream included.
    EXPECT_EQ(TrimFinalParagraph(std::string("{a\\par\n}\0", 10)), "{a\n}");
}

TEST(PostComposition, WideImagesAreShown320WideWithTheSinglePrecisionRatio)
{
    const auto size = [](int w, int h) {
        const CImageSize s = ScaleToPostWidth(w, h);
        return std::to_string(s.m_nWidth) + "x" + std::to_string(s.m_nHeight);
    };
    EXPECT_EQ(size(640, 480), "320x239");
    EXPECT_EQ(size(1280, 1024), "320x256");
    EXPECT_EQ(size(500, 500), "320x320");
    EXPECT_EQ(size(3840, 2160), "320x179") << "the single-precision ratio falls just above 16:9";
    EXPECT_EQ(size(300, 200), "300x200");
    EXPECT_EQ(size(320, 1000), "320x1000");
    EXPECT_EQ(size(321, 0), "321x0") << "no division by a zero height";
    EXPECT_EQ(ImageSizeAttributes(CImageSize{320, 239}), "height=\"239\" width=\"320\"");
    EXPECT_EQ(ImageSizeAttributes(std::nullopt), "");
}

TEST(PostComposition, BlocksAndTheirPositions)
{
    const std::string h = "height=\"239\" width=\"320\"";
    EXPECT_EQ(ComposeBody("<p>x</p>", ImagePlacement::Left, h, "T"),
              "<a href=\"%s\"><img src = \"%s\" alt=\"T\" align = \"left\" height=\"239\" width=\"320\" hspace = \"20\" /></a><p>x</p>");
    EXPECT_EQ(ComposeBody("<p>x</p>", ImagePlacement::Right, h, "T"),
              "<a href=\"%s\"><img src = \"%s\" alt=\"T\" align = \"right\" height=\"239\" width=\"320\" hspace = \"20\" /></a><p>x</p>");
    EXPECT_EQ(ComposeBody("<p>x</p>", ImagePlacement::Top, h, "T"),
              "<p align = \"center\"><a href=\"%s\"><img src = \"%s\" alt=\"T\" height=\"239\" width=\"320\" hspace=\"6\" /></a></p><p>x</p>");
    EXPECT_EQ(ComposeBody("<p>x</p>", ImagePlacement::Bottom, h, "T"),
              "<p>x</p><p align = \"center\"><a href=\"%s\"><img src = \"%s\" alt=\"T\" height=\"239\" width=\"320\" hspace=\"6\" /></a></p>");
    // An image of unknown size leaves two spaces where the size stood.
    EXPECT_EQ(ImageBlock(ImagePlacement::Left, "", "T"),
              "<a href=\"%s\"><img src = \"%s\" alt=\"T\" align = \"left\"  hspace = \"20\" /></a>");
}

TEST(PostComposition, AltTextIsTheEscapedTitleOrTheFallback)
{
    const EncodeCharacter ascii = [](char32_t c) -> std::optional<std::string> {
        if (c < 0x80)
            return std::string(1, static_cast<char>(c));
        return std::nullopt;
    };
    // Nothing typed as a title can end the attribute, open an element or
    // meet the body's "%s" placeholders.
    EXPECT_EQ(ImageAltText(EncodeTitle(u"a\"b\" onerror=\"x", ascii), "Capture"), "a&quot;b&quot; onerror=&quot;x");
    EXPECT_EQ(ImageAltText(EncodeTitle(u"<img src=x>", ascii), "Capture"), "&lt;img src=x&gt;");
    EXPECT_EQ(ImageAltText(EncodeTitle(u"100% %s \u65e5", ascii), "Capture"), "100&#37; &#37;s &#26085;");
    EXPECT_EQ(ImageAltText("", "Screen \"capture\""), "Screen &quot;capture&quot;");
    EXPECT_EQ(ImageAltText("  ", "Capture"), "Capture");
    const std::string body = ComposeBody("", ImagePlacement::Top, "", ImageAltText(EncodeTitle(u"%s%n", ascii), "C"));
    std::size_t percents = 0;
    for (char c : body)
        percents += c == '%';
    EXPECT_EQ(percents, 2u) << "only the two placeholders: " << body;
}

TEST(PostComposition, TitleCharactersOutsideTheCodePageBecomeReferences)
{
    // A code page of Latin-1 only.
    const EncodeCharacter latin1 = [](char32_t c) -> std::optional<std::string> {
        if (c < 0x100)
            return std::string(1, static_cast<char>(c));
        return std::nullopt;
    };
    EXPECT_EQ(EncodeTitle(u"Caf\u00e9 \u65e5\u672c \u2615 100%", latin1), "Caf\xe9 &#26085;&#26412; &#9749; 100%");
    // A pair of surrogates is one character; a lone half is replaced.
    EXPECT_EQ(EncodeTitle(u"a\U0001F600b", latin1), "a&#128512;b");
    EXPECT_EQ(EncodeTitle(std::u16string(u"x") + char16_t(0xD800) + u"y", latin1), "x&#65533;y");
    EXPECT_EQ(EncodeTitle(u"", latin1), "");
    // The blog reads the title as HTML: what the user typed stays text, and
    // the references written for characters outside the code page stay.
    EXPECT_EQ(EncodeTitle(u"a<b & c", latin1), "a&lt;b &amp; c");
    EXPECT_EQ(EncodeTitle(u"<img src=x onerror=alert(1)>", latin1), "&lt;img src=x onerror=alert(1)&gt;");
    EXPECT_EQ(EncodeTitle(u"&#9749; \u2615 &amp;", latin1), "&amp;#9749; &#9749; &amp;amp;");
    EXPECT_EQ(DebugDumpQuestion("c:\\DebugBlogHTML"), "RTF/HTML outputted to c:\\DebugBlogHTML Continue to send to blog?");
}
