// Entries as rich edit controls really write them (Windows' style and Wine's),
// converted the way a post converts them, against the HTML kept beside them.
#include "rtf2html/RtfConverter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The post cuts the control's final paragraph mark and closes the body.
std::string TrimFinalParagraph(const std::string& rtf)
{
    const std::size_t last = rtf.rfind("\\par");
    return (last == std::string::npos ? std::string() : rtf.substr(0, last)) + "\n}";
}

class RtfFixture : public testing::TestWithParam<const char*> {};

TEST_P(RtfFixture, ConvertsToTheKeptHtml)
{
    const std::string base = std::string(WP_TEST_DATA) + "/rtf/" + GetParam();
    const std::string rtf = ReadFile(base + ".rtf");
    std::string expected = ReadFile(base + ".html");
    ASSERT_FALSE(rtf.empty());
    ASSERT_FALSE(expected.empty());
    if (expected.back() == '\n')
        expected.pop_back();
    CRtfConverter converter;
    EXPECT_EQ(converter.Convert(TrimFinalParagraph(rtf), "\\pard", true), expected);
}

INSTANTIATE_TEST_SUITE_P(Samples, RtfFixture,
                         testing::Values("windows_entry", "wine_sample", "wine_editor", "wine_streamed"));

}  // namespace
