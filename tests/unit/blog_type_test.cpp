#include <gtest/gtest.h>

#include "account/BlogType.h"

using account::FormatLoginTitle;

TEST(BlogType, OnlyMovableTypeNamesAServer)
{
    EXPECT_FALSE(account::UsesServerFields(account::kBlogTypeTypePad));
    EXPECT_FALSE(account::UsesServerFields(account::kBlogTypeWordPress));
    EXPECT_TRUE(account::UsesServerFields(account::kBlogTypeMovable));
    EXPECT_FALSE(account::UsesServerFields(account::kBlogTypeLiveJournal));
    EXPECT_FALSE(account::UsesServerFields(-2));
}

TEST(BlogType, LabelsExistForTheFourKnownTypesOnly)
{
    EXPECT_EQ(account::BlogTypeLabelId(0), 40100u);
    EXPECT_EQ(account::BlogTypeLabelId(3), 40103u);
    EXPECT_EQ(account::BlogTypeLabelId(-1), 0u);
    EXPECT_EQ(account::BlogTypeLabelId(4), 0u);
}

TEST(BlogType, TitleFillsTheFirstPlaceholderOnly)
{
    EXPECT_EQ(FormatLoginTitle("%s Login", "TypePad"), "TypePad Login");
    EXPECT_EQ(FormatLoginTitle("%s Login", ""), " Login");
    // A label is text, never a format of its own.
    EXPECT_EQ(FormatLoginTitle("%s Login", "50%s %d"), "50%s %d Login");
    EXPECT_EQ(FormatLoginTitle("%s: %s", "A"), "A: %s");
    EXPECT_EQ(FormatLoginTitle("100%% %s", "B"), "100% B");
    EXPECT_EQ(FormatLoginTitle("Login %d %", "C"), "Login %d %");
    EXPECT_EQ(FormatLoginTitle("No label", "D"), "No label");
}
