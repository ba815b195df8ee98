#include <gtest/gtest.h>

#include <string>

#include "settings/SettingsText.h"

namespace {

TEST(TextModeBytes, EveryLineFeedGainsACarriageReturnAndAZeroByteEndsTheText)
{
    EXPECT_EQ(settings::TextModeBytes(""), "");
    EXPECT_EQ(settings::TextModeBytes("no line end"), "no line end");
    EXPECT_EQ(settings::TextModeBytes("a\nb\n"), "a\r\nb\r\n");
    // A composed CR LF is not recognised as a line end of its own.
    EXPECT_EQ(settings::TextModeBytes("a\r\n"), "a\r\r\n");
    EXPECT_EQ(settings::TextModeBytes("\n\n\r"), "\r\n\r\n\r");
    EXPECT_EQ(settings::TextModeBytes(std::string("ab\ncd\0e\nf", 9)), "ab\r\ncd");
    EXPECT_EQ(settings::TextModeBytes("\x1A\xFF\x80"), "\x1A\xFF\x80");
}

TEST(TextModeBytes, ComposedFilesGetTheirLineEndsOnDisk)
{
    const std::string prefs = settings::TextModeBytes(settings::ComposePreferences(1, 0));
    EXPECT_EQ(prefs,
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\r\n"
              "<userprefs>\r\r\n"
              "    <SaveText>1</SaveText>\r\r\n"
              "    <DisplayHotspotWarning>0</DisplayHotspotWarning>\r\r\n"
              "</userprefs>\r\r\n");
}

}  // namespace
