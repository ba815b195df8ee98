// The settings operations of the post context against the real file system:
// exact bytes on disk through the C runtime's text mode, the stored password,
// and settings files that are missing, damaged or in the way.
#include <gtest/gtest.h>

#include <map>

#include "platform/Text.h"
#include "output/PostContext.h"
#include "settings/CodePage.h"
#include "settings/PasswordProtection.h"
#include "support/TestAccessory.h"
#include "util/FileUtil.h"

using testing_support::CTestFolder;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

const char kPrefsBoth[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\r\n"
    "<userprefs>\r\r\n"
    "    <SaveText>1</SaveText>\r\r\n"
    "    <DisplayHotspotWarning>1</DisplayHotspotWarning>\r\r\n"
    "</userprefs>\r\r\n";

template <std::size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

std::map<std::string, std::string> Snapshot(const CTestFolder& folder)
{
    std::map<std::string, std::string> files;
    for (const std::string& name : folder.Files())
        files[name] = ReadFileBytes(folder.Path() + name);
    return files;
}

// The file with its StoredText replaced, once it was found sealed.
std::string WithStoredText(std::string file, const std::string& storedText)
{
    const std::size_t open = file.find("<StoredText>");
    const std::size_t close = file.find("</StoredText>");
    if (open == std::string::npos || close == std::string::npos ||
        file.compare(open + 12, 5, settings::kProtectedMarker) != 0)
        return file;
    return file.replace(open + 12, close - open - 12, storedText);
}

void SetLogin(PostContext& context, const std::string& password, const std::string& user,
              const std::string& server = "", const std::string& endpoint = "")
{
    context.m_strPassword = password;
    context.m_strUserName = user;
    context.m_strServer = server;
    context.m_strEndpoint = endpoint;
}

TEST(SettingsFiles, WritesBothFilesThroughTextMode)
{
    CTestFolder folder;
    PostContext context;
    context.m_strDataFolder = platform::WideFromAnsi(folder.Path());
    SetLogin(context, "pw", "Tom & Jerry", "blog.example.com", "/xmlrpc.php");
    ASSERT_TRUE(context.WritePreferences(1));

    EXPECT_EQ(ReadFileBytes(folder.Path() + "UserPrefs.xml"), kPrefsBoth);
    // The password is sealed for the user, differently at every save; the
    // rest is as composed. "oh" is what the earlier version stored for "pw".
    EXPECT_EQ(WithStoredText(ReadFileBytes(folder.Path() + "UserSettings.xml"), "oh"),
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\r\n"
              "<userprefs>\r\r\n"
              "    <StoredText>oh</StoredText>\r\r\n"
              "    <Login>Tom &amp; Jerry</Login>\r\r\n"
              "    <Server>blog.example.com</Server>\r\r\n"
              "    <Endpoint>/xmlrpc.php</Endpoint>\r\r\n"
              "</userprefs>\r\r\n");
    EXPECT_EQ(context.m_strUserName, "Tom & Jerry");

    PostContext reader;
    reader.m_strDataFolder = platform::WideFromAnsi(folder.Path().substr(0, folder.Path().size() - 1));  // no trailing '\'
    int alwaysUse = 0;
    EXPECT_TRUE(reader.ReadPreferences(alwaysUse));
    EXPECT_EQ(alwaysUse, 1);
    ASSERT_TRUE(reader.LoadStoredLogin());
    EXPECT_EQ(reader.m_strPassword, "pw");
    EXPECT_EQ(reader.m_strUserName, "Tom & Jerry");
    EXPECT_EQ(reader.m_strServer, "blog.example.com");
    EXPECT_EQ(reader.m_strEndpoint, "/xmlrpc.php");
}

TEST(SettingsFiles, ReadsPreferencesAsWritten)
{
    CTestFolder folder;
    const std::string path = folder.Path() + "UserPrefs.xml";
    struct Case {
        const char* body;
        int alwaysUse;
        int warning;
    } cases[] = {
        {"<SaveText>1</SaveText><DisplayHotspotWarning>0</DisplayHotspotWarning>", 1, 0},
        {"<SaveText> 1</SaveText><DisplayHotspotWarning>0 </DisplayHotspotWarning>", 0, 1},
        {"<SaveText>true</SaveText>", 0, 1},
        {"<DisplayHotspotWarning>0</DisplayHotspotWarning><SaveText>1</SaveText>", 1, 1},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(path, std::string("<?xml version=\"1.0\"?>\r\n<userprefs>") + c.body +
                                             "</userprefs>"));
        PostContext context;
        context.m_strDataFolder = platform::WideFromAnsi(folder.Path());
        int alwaysUse = 5;
        EXPECT_TRUE(context.ReadPreferences(alwaysUse)) << c.body;
        EXPECT_EQ(alwaysUse, c.alwaysUse) << c.body;
        EXPECT_EQ(context.m_nShowHotspotWarning, c.warning) << c.body;
    }

    PostContext missing;
    missing.m_strDataFolder = platform::WideFromAnsi(folder.Path() + "none\\");
    int alwaysUse = 1;
    EXPECT_FALSE(missing.ReadPreferences(alwaysUse));
    EXPECT_EQ(alwaysUse, 0);
    PostContext noFolder;
    alwaysUse = 1;
    EXPECT_FALSE(noFolder.ReadPreferences(alwaysUse));
    EXPECT_EQ(alwaysUse, 1);
}

TEST(SettingsFiles, AlwaysUseDecidesTheStoredLogin)
{
    CTestFolder folder;
    PostContext context;
    context.m_strDataFolder = platform::WideFromAnsi(folder.Path());
    SetLogin(context, "pw", "me");
    ASSERT_TRUE(context.WritePreferences(1));
    const std::string stored = folder.Path() + "UserSettings.xml";
    const std::string before = ReadFileBytes(stored);
    ASSERT_FALSE(before.empty());

    // An empty password writes the preferences and keeps the earlier log-in.
    SetLogin(context, "", "other");
    context.m_nShowHotspotWarning = 0;
    EXPECT_TRUE(context.WritePreferences(1));
    EXPECT_FALSE(context.SaveStoredLogin());
    EXPECT_EQ(ReadFileBytes(stored), before);
    EXPECT_NE(ReadFileBytes(folder.Path() + "UserPrefs.xml").find("<DisplayHotspotWarning>0<"), std::string::npos);

    // Unchecking "always use" deletes it.
    EXPECT_TRUE(context.WritePreferences(0));
    EXPECT_FALSE(util::FileExists(stored));
    EXPECT_NE(ReadFileBytes(folder.Path() + "UserPrefs.xml").find("<SaveText>0<"), std::string::npos);
    EXPECT_FALSE(context.LoadStoredLogin());
}

TEST(SettingsFiles, CreatesTheDataFolderWithItsParents)
{
    CTestFolder folder;
    PostContext context;
    context.m_strDataFolder = platform::WideFromAnsi(folder.Path() + "a\\b\\c");
    SetLogin(context, "pw", "me");
    ASSERT_TRUE(context.WritePreferences(1));
    EXPECT_TRUE(util::FileExists(folder.Path() + "a\\b\\c\\UserPrefs.xml"));
    EXPECT_TRUE(util::FileExists(folder.Path() + "a\\b\\c\\UserSettings.xml"));
}

TEST(SettingsFiles, EveryPasswordComesBackAsTyped)
{
    ASSERT_NE(&settings::CurrentCodePage(), &settings::SingleByteCodePage());
    CTestFolder folder;
    auto roundTrip = [&](const std::string& password) {
        PostContext writer;
        writer.m_strDataFolder = platform::WideFromAnsi(folder.Path());
        SetLogin(writer, password, "me");
        EXPECT_TRUE(writer.SaveStoredLogin());
        PostContext reader;
        reader.m_strDataFolder = platform::WideFromAnsi(folder.Path());
        EXPECT_TRUE(reader.LoadStoredLogin());
        return reader.m_strPassword;
    };
    std::string every;
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(roundTrip(one), one) << "byte " << b;
        every += one;
    }
    EXPECT_EQ(roundTrip(every), every);
    for (const char* typed : {"a&b", "<pass>", "\"quoted\" 'too'", " spaces  around ", "&amp;lt;", "`60~"})
        EXPECT_EQ(roundTrip(typed), typed);
}

TEST(SettingsFiles, DamagedFilesGiveTheDefaultsAndChangeNothing)
{
    const std::string huge = "<userprefs><SaveText>1</SaveText><StoredText>" + std::string(100u << 20, 'x');
    const std::string cases[] = {
        "",
        "<?xml version=\"1.0\"?>\r\n<userprefs>\r\n    <SaveText>1</Save",
        Bytes("\xFF\xFE<\0u\0s\0e\0r\0p\0r\0e\0f\0s\0>\0"),
        Bytes("\x00\x01\x02\xFF<userprefs>\x80\x81\x9F</userprefs>"),
        "<userprefs><SaveText><SaveText>1</SaveText>",
        "<userprefs><Login>me</Login></userprefs",
        "<userprefs><SaveText>1</SaveText><userprefs>",
        huge,
    };
    for (const std::string& bytes : cases) {
        CTestFolder folder;
        ASSERT_TRUE(WriteFileBytes(folder.Path() + "UserPrefs.xml", bytes));
        ASSERT_TRUE(WriteFileBytes(folder.Path() + "UserSettings.xml", bytes));
        const auto before = Snapshot(folder);
        PostContext context;
        context.m_strDataFolder = platform::WideFromAnsi(folder.Path());
        int alwaysUse = context.m_nAlwaysUse;
        context.ReadPreferences(alwaysUse);
        EXPECT_EQ(alwaysUse, 0) << bytes.substr(0, 40);
        EXPECT_EQ(context.m_nShowHotspotWarning, 1);
        context.LoadStoredLogin();
        EXPECT_EQ(context.m_strPassword, "");
        EXPECT_EQ(context.m_strUserName, "");
        EXPECT_TRUE(Snapshot(folder) == before);
    }
}

TEST(SettingsFiles, AnUnwritableDataFolderIsSkippedSilently)
{
    CTestFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Path() + "file", "x"));
    const auto before = Snapshot(folder);
    PostContext context;
    context.m_strDataFolder = platform::WideFromAnsi(folder.Path() + "file\\data");
    SetLogin(context, "pw", "me");
    // Nothing is shown, but the answers say that nothing was written.
    EXPECT_FALSE(context.WritePreferences(1));
    EXPECT_FALSE(context.SaveStoredLogin());
    EXPECT_FALSE(context.WritePreferences(0));
    EXPECT_TRUE(Snapshot(folder) == before);

    // Without a data folder nothing is written anywhere.
    PostContext none;
    SetLogin(none, "pw", "me");
    const bool rootHadOne = util::FileExists("\\UserPrefs.xml");
    EXPECT_FALSE(none.WritePreferences(1));
    EXPECT_EQ(util::FileExists("\\UserPrefs.xml"), rootHadOne);
    EXPECT_FALSE(none.LoadStoredLogin());
}

}  // namespace
