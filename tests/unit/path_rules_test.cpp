#include "util/PathRules.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

TEST(AppendBackslash, AddsOnlyWhenMissingAndReportsTheLimit)
{
    std::string p = "C:\\data";
    EXPECT_TRUE(util::AppendBackslash(p));
    EXPECT_EQ(p, "C:\\data\\");
    EXPECT_TRUE(util::AppendBackslash(p));
    EXPECT_EQ(p, "C:\\data\\");

    std::string fits(258, 'a');  // 259 with the backslash: still below the limit
    EXPECT_TRUE(util::AppendBackslash(fits));
    std::string full(259, 'a');
    EXPECT_FALSE(util::AppendBackslash(full));
    EXPECT_EQ(full.size(), 260u);
    EXPECT_EQ(full.back(), '\\');
}

TEST(IsFullyQualifiedPath, OnlyDriveAndSharePathsCount)
{
    for (const char* path : {"C:\\acc\\QTVPublish.dll", "z:/acc/QTVPublish.dll", "\\\\server\\share\\x.dll",
                             "C:\\acc\\..\\QTVPublish.dll"})
        EXPECT_TRUE(util::IsFullyQualifiedPath(path)) << path;
    for (const char* path : {"", "QTVPublish.dll", ".\\QTVPublish.dll", "..\\acc\\QTVPublish.dll",
                             "acc\\QTVPublish.dll", "\\acc\\QTVPublish.dll", "/acc/QTVPublish.dll",
                             "C:QTVPublish.dll", "C:", "\\\\?\\C:\\x.dll", "\\\\.\\pipe\\x", "\\\\\\x.dll", "1:\\x.dll"})
        EXPECT_FALSE(util::IsFullyQualifiedPath(path)) << path;
}

TEST(GetParentPath, TrailingSeparatorIsNotALevel)
{
    EXPECT_EQ(util::GetParentPath("C:\\a\\b"), "C:\\a");
    EXPECT_EQ(util::GetParentPath("C:\\a\\b\\"), "C:\\a");
    EXPECT_EQ(util::GetParentPath("C:\\a\\b\\\\"), "C:\\a");
    EXPECT_EQ(util::GetParentPath("C:\\a\\b  "), "C:\\a");
    EXPECT_EQ(util::GetParentPath("name"), "name");
    EXPECT_EQ(util::GetParentPath("C:\\a"), "C:");
    EXPECT_EQ(util::GetParentPath("C:name"), "C");
    EXPECT_EQ(util::GetParentPath(""), "");
}

TEST(DetectTextEncoding, MarksDecideTheDecoder)
{
    std::size_t skip = 99;
    const unsigned char utf8[] = {0xEF, 0xBB, 0xBF, 'x'};
    EXPECT_EQ(util::DetectTextEncoding(utf8, sizeof utf8, skip), util::TextEncoding::Utf8);
    EXPECT_EQ(skip, 3u);
    const unsigned char le[] = {0xFF, 0xFE, 'x', 0};
    const unsigned char be[] = {0xFE, 0xFF, 0, 'x'};
    EXPECT_EQ(util::DetectTextEncoding(le, sizeof le, skip), util::TextEncoding::Utf16);
    EXPECT_EQ(util::DetectTextEncoding(be, sizeof be, skip), util::TextEncoding::Utf16);
    // A cut-off mark is no mark.
    EXPECT_EQ(util::DetectTextEncoding(utf8, 2, skip), util::TextEncoding::Ansi);
    EXPECT_EQ(skip, 0u);
    EXPECT_EQ(util::DetectTextEncoding(le, 1, skip), util::TextEncoding::Ansi);
    EXPECT_EQ(util::DetectTextEncoding("", 0, skip), util::TextEncoding::Ansi);
}

class FakeDirectories : public util::IDirectorySystem {
public:
    std::set<std::string> existing;
    std::vector<std::string> created;
    std::set<std::string> refuse;
    bool DirectoryExists(const std::string& p) override { return existing.count(p) != 0; }
    bool CreateDirectory(const std::string& p) override
    {
        const std::string parent = util::GetParentPath(p);
        if (refuse.count(p) || (parent.size() > 2 && !existing.count(parent)))
            return false;
        existing.insert(p);
        created.push_back(p);
        return true;
    }
};

TEST(CreateDirectoryChain, CreatesOutermostFirst)
{
    FakeDirectories fs;
    fs.existing = {"C:"};
    EXPECT_TRUE(util::CreateDirectoryChain("C:\\x\\y\\z", fs));
    EXPECT_EQ(fs.created, (std::vector<std::string>{"C:\\x", "C:\\x\\y", "C:\\x\\y\\z"}));
    fs.created.clear();
    EXPECT_TRUE(util::CreateDirectoryChain("C:\\x\\y\\z", fs));
    EXPECT_TRUE(fs.created.empty());
}

TEST(CreateDirectoryChain, TrivialPathsAndFailedParents)
{
    FakeDirectories fs;
    EXPECT_TRUE(util::CreateDirectoryChain("", fs));
    EXPECT_TRUE(util::CreateDirectoryChain("C:", fs));
    EXPECT_TRUE(util::CreateDirectoryChain("relative", fs));  // its own parent: nothing made
    EXPECT_TRUE(fs.created.empty());

    fs.existing = {"C:"};
    fs.refuse = {"C:\\locked"};
    EXPECT_FALSE(util::CreateDirectoryChain("C:\\locked\\inner", fs));
    EXPECT_TRUE(fs.created.empty());
}

}  // namespace
