// Settings files replaced in one step: a write that fails part of the way, a
// file that cannot be replaced, and the bounds on what is read back.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "platform/Text.h"
#include "output/PostContext.h"
#include "settings/SettingsText.h"
#include "support/TestAccessory.h"
#include "util/FileUtil.h"

using testing_support::CTestFolder;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

std::map<std::string, std::string> Snapshot(const CTestFolder& folder)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : folder.Files())
        files[name] = ReadFileBytes(folder.Path() + name);
    return files;
}

// Writes half of what it is given, then reports a full disk; from the call
// numbered g_nFailFrom on (counting from 1), every call fails that way.
int g_nWriteCalls = 0;
int g_nFailFrom = 1;
BOOL WINAPI HalfThenDiskFull(HANDLE hFile, LPCVOID pBuffer, DWORD nBytes, LPDWORD pnWritten, LPOVERLAPPED pOverlapped)
{
    if (++g_nWriteCalls < g_nFailFrom)
        return ::WriteFile(hFile, pBuffer, nBytes, pnWritten, pOverlapped);
    ::WriteFile(hFile, pBuffer, nBytes / 2, pnWritten, pOverlapped);
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

class CFailingWrites {
public:
    explicit CFailingWrites(int nFailFrom) : m_pfnOld(util::SetWriteFileHandler(HalfThenDiskFull))
    {
        g_nWriteCalls = 0;
        g_nFailFrom = nFailFrom;
    }
    ~CFailingWrites() { util::SetWriteFileHandler(m_pfnOld); }

private:
    util::WriteFileFn m_pfnOld;
};

void StoreLogin(PostContext& context, const std::string& folder, const std::string& password,
                const std::string& user, int showHotspotWarning = 1)
{
    context.m_strDataFolder = platform::WideFromAnsi(folder);
    context.m_strPassword = password;
    context.m_strUserName = user;
    context.m_nShowHotspotWarning = showHotspotWarning;
}

std::string LoadedUser(const std::string& folder)
{
    PostContext reader;
    reader.m_strDataFolder = platform::WideFromAnsi(folder);
    return reader.LoadStoredLogin() ? reader.m_strUserName + "/" + reader.m_strPassword : "none";
}

// Every case starts from an earlier save that went through.
bool SaveOldLogin(const std::string& folder)
{
    PostContext first;
    StoreLogin(first, folder, "old-secret", "old-user");
    return first.WritePreferences(1);
}

TEST(SettingsWrite, AWriteFailingHalfWayLeavesThePreviousFileWhole)
{
    CTestFolder folder;
    ASSERT_TRUE(SaveOldLogin(folder.Path()));
    const auto before = Snapshot(folder);
    ASSERT_EQ(before.size(), 2u);

    {
        // The stored log-in is written first, the preferences second.
        CFailingWrites fail(1);
        PostContext second;
        StoreLogin(second, folder.Path(), "new-secret", "new-user", 0);
        EXPECT_FALSE(second.SaveStoredLogin());
        EXPECT_FALSE(second.WritePreferences(1));
        EXPECT_EQ(g_nWriteCalls, 3);
    }
    EXPECT_TRUE(Snapshot(folder) == before) << "no half-written file and no temporary file left";
    EXPECT_EQ(LoadedUser(folder.Path()), "old-user/old-secret");

    {
        // Only the preferences fail: the stored log-in is the new one, whole.
        CFailingWrites fail(2);
        PostContext third;
        StoreLogin(third, folder.Path(), "new-secret", "new-user", 0);
        EXPECT_FALSE(third.WritePreferences(1));
    }
    const auto after = Snapshot(folder);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after.at("UserPrefs.xml"), before.at("UserPrefs.xml"));
    EXPECT_EQ(LoadedUser(folder.Path()), "new-user/new-secret");

    // Once writes succeed again, both files are the new ones.
    PostContext fourth;
    StoreLogin(fourth, folder.Path(), "new-secret", "new-user", 0);
    EXPECT_TRUE(fourth.WritePreferences(1));
    EXPECT_NE(ReadFileBytes(folder.Path() + "UserPrefs.xml").find("<DisplayHotspotWarning>0<"), std::string::npos);
    EXPECT_EQ(folder.Files().size(), 2u);
}

TEST(SettingsWrite, AFileThatCannotBeReplacedStaysAndTheFailureIsReported)
{
    CTestFolder folder;
    ASSERT_TRUE(SaveOldLogin(folder.Path()));
    const auto before = Snapshot(folder);
    const std::string stored = folder.Path() + "UserSettings.xml";

    // A reader that does not share deletion pins the old file in place: it
    // can be neither replaced nor deleted.
    HANDLE reader = ::CreateFileA(stored.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    PostContext second;
    StoreLogin(second, folder.Path(), "new-secret", "new-user");
    EXPECT_FALSE(second.SaveStoredLogin());
    EXPECT_FALSE(second.WritePreferences(1));
    const auto pinned = Snapshot(folder);
    EXPECT_FALSE(second.WritePreferences(0)) << "the log-in meant to go is still there";
    ::CloseHandle(reader);
    EXPECT_EQ(Snapshot(folder).at("UserSettings.xml"), before.at("UserSettings.xml"));
    EXPECT_EQ(pinned.size(), 2u) << "no temporary file left";
    EXPECT_EQ(Snapshot(folder).size(), 2u);
    EXPECT_EQ(LoadedUser(folder.Path()), "old-user/old-secret");
}

TEST(SettingsWrite, BytesOnDiskAreThoseOfATextModeStream)
{
    CTestFolder folder;
    const std::string text = std::string("a\r\nb\nc\r\r\n\x1A\x80 end\n\n") + std::string(1, '\0') + "after";
    const std::string crt = folder.Path() + "crt.txt";
    FILE* file = std::fopen(crt.c_str(), "wt");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.c_str(), 1, std::strlen(text.c_str()), file);
    std::fclose(file);

    const std::string ours = folder.Path() + "ours.txt";
    ASSERT_TRUE(util::ReplaceFileContents(ours, settings::TextModeBytes(text)));
    EXPECT_EQ(ReadFileBytes(ours), ReadFileBytes(crt));
    // Replacing an existing file, also with nothing.
    ASSERT_TRUE(util::ReplaceFileContents(ours, ""));
    EXPECT_EQ(ReadFileBytes(ours), "");
    EXPECT_EQ(folder.Files().size(), 2u);

    // A folder that does not exist has no room for the new file.
    EXPECT_FALSE(util::ReplaceFileContents(folder.Path() + "missing\\x.txt", "x"));
}

TEST(SettingsWrite, AtMost64KiBOfEitherFileIsRead)
{
    CTestFolder folder;
    const std::string head = "<userprefs><StoredText>oh</StoredText><Login>me</Login></userprefs>";
    const std::string stored = folder.Path() + "UserSettings.xml";
    ASSERT_TRUE(WriteFileBytes(stored, head + std::string(64 * 1024 - head.size(), ' ')));
    EXPECT_EQ(LoadedUser(folder.Path()), "me/pw");
    ASSERT_TRUE(WriteFileBytes(stored, head + std::string(64 * 1024 - head.size() + 1, ' ')));
    EXPECT_EQ(LoadedUser(folder.Path()), "none");

    const std::string prefs = "<userprefs><SaveText>1</SaveText></userprefs>";
    ASSERT_TRUE(WriteFileBytes(folder.Path() + "UserPrefs.xml", prefs + std::string(64 * 1024, ' ')));
    PostContext context;
    context.m_strDataFolder = platform::WideFromAnsi(folder.Path());
    int alwaysUse = 1;
    EXPECT_FALSE(context.ReadPreferences(alwaysUse));
    EXPECT_EQ(alwaysUse, 0);
}

}  // namespace
