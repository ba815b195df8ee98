#include "util/KeyValueText.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyValueText, WholeKeyOnEitherLineEndAndFirstLineWins)
{
    const std::string text = "WP_URL_OLD=x\r\nWP_URL=http://127.0.0.1:8080\r\nEMPTY=\nWP_URL=second\nLAST=tail";
    std::string value;
    ASSERT_TRUE(util::FindKeyValue(text, "WP_URL", value));
    EXPECT_EQ(value, "http://127.0.0.1:8080") << "a longer key with the same start is another key";
    ASSERT_TRUE(util::FindKeyValue(text, "EMPTY", value));
    EXPECT_EQ(value, "");
    ASSERT_TRUE(util::FindKeyValue(text, "LAST", value));
    EXPECT_EQ(value, "tail") << "the last line needs no line end";

    value = "kept";
    EXPECT_FALSE(util::FindKeyValue(text, "WP", value));
    EXPECT_FALSE(util::FindKeyValue(text, "url", value));
    EXPECT_FALSE(util::FindKeyValue("", "WP_URL", value));
    EXPECT_FALSE(util::FindKeyValue("x=1\r\n", "x=1", value));
    EXPECT_EQ(value, "kept") << "nothing is written when the key is missing";
}

}  // namespace
