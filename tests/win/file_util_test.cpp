// File and window helpers against the real file system and window manager.
#include <gtest/gtest.h>

#include "support/TestAccessory.h"
#include "util/FileUtil.h"

using testing_support::CTestFolder;
using testing_support::WriteFileBytes;

namespace {

TEST(FileUtil, ExistenceTestsTellFilesFromFolders)
{
    CTestFolder folder;
    const std::string file = folder.Path() + "a.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    EXPECT_FALSE(util::DirectoryExists(file));
    EXPECT_TRUE(util::FileExists(file));
    EXPECT_TRUE(util::DirectoryExists(folder.Path()));
    EXPECT_TRUE(util::FileExists(folder.Path()));
    EXPECT_FALSE(util::FileExists(folder.Path() + "missing"));
    EXPECT_FALSE(util::DirectoryExists(folder.Path() + "missing"));
}

TEST(FileUtil, ReadTextFileHonoursTheMarks)
{
    CTestFolder folder;
    const std::string path = folder.Path() + "t.xml";
    std::wstring text = L"untouched";

    ASSERT_TRUE(WriteFileBytes(path, "\xEF\xBB\xBF\xC3\xA9"));
    ASSERT_TRUE(util::ReadTextFile(path, text));
    EXPECT_EQ(text, L"\u00e9");

    ASSERT_TRUE(WriteFileBytes(path, "\xC3\xA9"));  // no mark: two ANSI characters
    ASSERT_TRUE(util::ReadTextFile(path, text));
    EXPECT_EQ(text.size(), 2u);

    ASSERT_TRUE(WriteFileBytes(path, ""));
    ASSERT_TRUE(util::ReadTextFile(path, text));
    EXPECT_EQ(text, L"");

    ASSERT_TRUE(WriteFileBytes(path, std::string("ab\0cd", 5)));  // conversion stops at a zero byte
    ASSERT_TRUE(util::ReadTextFile(path, text));
    EXPECT_EQ(text, L"ab");

    text = L"untouched";
    ASSERT_TRUE(WriteFileBytes(path, std::string("\xFF\xFEx\0", 4)));
    EXPECT_FALSE(util::ReadTextFile(path, text));
    ASSERT_TRUE(WriteFileBytes(path, std::string("\xFE\xFF\0x", 4)));
    EXPECT_FALSE(util::ReadTextFile(path, text));
    EXPECT_FALSE(util::ReadTextFile(folder.Path() + "missing.xml", text));
    EXPECT_EQ(text, L"untouched");
}

TEST(FileUtil, ReadTextFileRefusesWhileSomeoneWrites)
{
    CTestFolder folder;
    const std::string path = folder.Path() + "busy.xml";
    HANDLE writer = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    std::wstring text;
    EXPECT_FALSE(util::ReadTextFile(path, text));
    ::CloseHandle(writer);
    EXPECT_TRUE(util::ReadTextFile(path, text));
}

TEST(FileUtil, DirectoryChainIsCreatedWithItsParents)
{
    CTestFolder folder;
    const std::string deep = folder.Path() + "x\\y\\z";
    EXPECT_TRUE(util::EnsureDirectory(deep));
    EXPECT_TRUE(util::DirectoryExists(folder.Path() + "x\\y"));
    EXPECT_TRUE(util::DirectoryExists(deep));
    EXPECT_TRUE(util::EnsureDirectory(deep + "\\"));

    // A file in the way cannot become a folder.
    ASSERT_TRUE(WriteFileBytes(folder.Path() + "file", "x"));
    EXPECT_FALSE(util::EnsureDirectory(folder.Path() + "file\\sub"));
}

TEST(FileUtil, OwnWindowComesForward)
{
    HWND hWnd = ::CreateWindowExA(0, "STATIC", "forward", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_TRUE(util::BringWindowToForeground(hWnd));
    EXPECT_EQ(::GetForegroundWindow(), hWnd);
    ::DestroyWindow(hWnd);
}

}  // namespace
