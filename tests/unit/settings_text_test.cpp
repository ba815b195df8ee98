#include "settings/SettingsText.h"

#include <gtest/gtest.h>

#include "settings/PasswordScrambler.h"
#include "settings/QTVXmlString.h"

namespace {

TEST(SettingsText, ComposesBothFilesByteForByte)
{
    EXPECT_EQ(settings::ComposePreferences(1, 0),
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
              "<userprefs>\r\n"
              "    <SaveText>1</SaveText>\r\n"
              "    <DisplayHotspotWarning>0</DisplayHotspotWarning>\r\n"
              "</userprefs>\r\n");

    const std::string user = "Tom & Jerry";
    EXPECT_EQ(settings::ComposeStoredLogin("pw", user, "<srv>", "'e'"),
              "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
              "<userprefs>\r\n"
              "    <StoredText>" + settings::ScramblePassword("pw") + "</StoredText>\r\n"
              "    <Login>Tom &amp; Jerry</Login>\r\n"
              "    <Server>&lt;srv&gt;</Server>\r\n"
              "    <Endpoint>&apos;e&apos;</Endpoint>\r\n"
              "</userprefs>\r\n");
    EXPECT_EQ(user, "Tom & Jerry");

    EXPECT_EQ(settings::SettingsFilePath("C:\\data", "UserPrefs.xml"), "C:\\data\\UserPrefs.xml");
    EXPECT_EQ(settings::SettingsFilePath("C:\\data\\", "UserPrefs.xml"), "C:\\data\\UserPrefs.xml");
}

struct Prefs {
    bool found;
    int alwaysUse;
    int warning;
};

Prefs ReadPrefs(const std::string& text)
{
    QTVXmlString xml(text);
    Prefs p{false, 7, 7};
    p.found = settings::ParsePreferences(xml, p.alwaysUse, p.warning);
    return p;
}

TEST(SettingsText, PreferencesTakeOnlyExactValues)
{
    auto prefs = [](const std::string& save, const std::string& warning) {
        return ReadPrefs("<userprefs><SaveText>" + save + "</SaveText><DisplayHotspotWarning>" + warning +
                         "</DisplayHotspotWarning></userprefs>");
    };
    Prefs p = prefs("1", "0");
    EXPECT_TRUE(p.found);
    EXPECT_EQ(p.alwaysUse, 1);
    EXPECT_EQ(p.warning, 0);
    for (const char* notOne : {" 1", "true", "01", "2", ""})
        EXPECT_EQ(prefs(notOne, "0").alwaysUse, 0) << notOne;
    for (const char* notZero : {" 0", "false", "00", "1", ""})
        EXPECT_EQ(prefs("1", notZero).warning, 1) << notZero;

    p = ReadPrefs("<userprefs></userprefs>");
    EXPECT_TRUE(p.found);
    EXPECT_EQ(p.alwaysUse, 0);
    EXPECT_EQ(p.warning, 1);

    // One cursor: the warning standing before SaveText is passed over.
    p = ReadPrefs("<userprefs><DisplayHotspotWarning>0</DisplayHotspotWarning><SaveText>1</SaveText></userprefs>");
    EXPECT_EQ(p.alwaysUse, 1);
    EXPECT_EQ(p.warning, 1);

    // The composed file reads back.
    p = ReadPrefs(settings::ComposePreferences(1, 0));
    EXPECT_EQ(p.alwaysUse, 1);
    EXPECT_EQ(p.warning, 0);
}

TEST(SettingsText, MalformedPreferencesChangeNothing)
{
    for (const char* text : {"", "<userprefs>", "<userprefs><SaveText>1</SaveText>", "<UserPrefs></UserPrefs>",
                             "\xff\xfe<\0u\0", "<userprefs/>", "</userprefs><userprefs"}) {
        const Prefs p = ReadPrefs(text);
        EXPECT_FALSE(p.found) << text;
        EXPECT_EQ(p.alwaysUse, 7);
        EXPECT_EQ(p.warning, 7);
    }
    // Nested roots: the outer one is read, its first SaveText is the inner one's.
    const Prefs p = ReadPrefs("<userprefs><userprefs><SaveText>1</SaveText></userprefs></userprefs>");
    EXPECT_TRUE(p.found);
    EXPECT_EQ(p.alwaysUse, 1);
}

struct Login {
    std::string password = "p0", user = "u0", server = "s0", endpoint = "e0";
    bool Read(const std::string& text)
    {
        QTVXmlString xml(text);
        return settings::ParseStoredLogin(xml, password, user, server, endpoint);
    }
};

TEST(SettingsText, StoredLoginRoundTripsAwkwardValues)
{
    const std::string password = "p&ss <w>\"o'rd ";
    const std::string user = "Tom & Jerry";
    const std::string server = "&lt;not an entity&gt;";
    const std::string endpoint = " /xmlrpc.php?a=1&b=\"2\" ";
    Login l;
    ASSERT_TRUE(l.Read(settings::ComposeStoredLogin(password, user, server, endpoint)));
    EXPECT_EQ(l.password, password);
    EXPECT_EQ(l.user, user);
    EXPECT_EQ(l.server, server);
    EXPECT_EQ(l.endpoint, endpoint);
}

TEST(SettingsText, StoredLoginReadsInOrderAndKeepsWhatIsMissing)
{
    const std::string stored = "<StoredText>" + settings::ScramblePassword("pw") + "</StoredText>";
    Login l;
    ASSERT_TRUE(l.Read("<userprefs>" + stored + "<Server>s</Server></userprefs>"));
    EXPECT_EQ(l.password, "pw");
    EXPECT_EQ(l.user, "u0");
    EXPECT_EQ(l.server, "s");
    EXPECT_EQ(l.endpoint, "e0");

    // Login before StoredText: reading StoredText moves past it.
    Login o;
    ASSERT_TRUE(o.Read("<userprefs><Login>me</Login>" + stored + "</userprefs>"));
    EXPECT_EQ(o.password, "pw");
    EXPECT_EQ(o.user, "u0");

    // Without StoredText the password is empty.
    Login m;
    ASSERT_TRUE(m.Read("<userprefs><Login>me</Login></userprefs>"));
    EXPECT_EQ(m.password, "");
    EXPECT_EQ(m.user, "me");

    Login none;
    EXPECT_FALSE(none.Read("<Login>me</Login>"));
    EXPECT_EQ(none.password, "p0");
    EXPECT_EQ(none.user, "u0");
}

TEST(PasswordScrambler, EveryByteComesBackAndStoresAsPrintableAscii)
{
    std::string all;
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string stored = settings::ScramblePassword(one);
        for (char c : stored)
            EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << "byte " << b;
        EXPECT_EQ(settings::UnscramblePassword(stored), one) << "byte " << b;
        all += one;
    }
    EXPECT_EQ(settings::UnscramblePassword(settings::ScramblePassword(all)), all);

    // Ordinary passwords stay plain exclusive-or text, byte for byte.
    const std::string plain = "Secret pass 123!&<\"'";
    const std::string stored = settings::ScramblePassword(plain);
    ASSERT_EQ(stored.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(static_cast<unsigned char>(stored[i]), static_cast<unsigned char>(plain[i]) ^ settings::kPasswordKey);
}

TEST(PasswordScrambler, ReadsMalformedEscapesAsBytes)
{
    const char k = static_cast<char>(settings::kPasswordKey);
    const char e = settings::kPasswordEscape;
    EXPECT_EQ(settings::UnscramblePassword(std::string(1, e)), std::string(1, static_cast<char>(e ^ k)));
    EXPECT_EQ(settings::UnscramblePassword(std::string{e, 'z', 'z'}),
              (std::string{static_cast<char>(e ^ k), static_cast<char>('z' ^ k), static_cast<char>('z' ^ k)}));
    EXPECT_EQ(settings::UnscramblePassword(std::string{e, '4', 'f'}), std::string(1, static_cast<char>(0x4F ^ k)));
    // A zero byte cannot be part of a password.
    EXPECT_EQ(settings::UnscramblePassword(std::string(1, k)), "");
}

}  // namespace
