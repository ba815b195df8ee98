// The stored password sealed with the user's Windows credentials: what lands
// on disk, a file of the earlier version that still signs in and is sealed
// at the next save, and sealed values that cannot be opened.
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include "platform/Text.h"
#include "output/PostContext.h"
#include "settings/PasswordProtectionWin.h"
#include "settings/PasswordScrambler.h"
#include "settings/QTVXmlString.h"
#include "settings/SettingsText.h"
#include "support/TestAccessory.h"

using testing_support::CTestFolder;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

std::string StoredTextOnDisk(const CTestFolder& folder)
{
    QTVXmlString file(ReadFileBytes(folder.Path() + "UserSettings.xml"));
    std::string stored, user, server, endpoint;
    return settings::ParseStoredLoginText(file, stored, user, server, endpoint) ? stored : "<unreadable>";
}

bool Load(const CTestFolder& folder, PostContext& context)
{
    context.m_strDataFolder = platform::WideFromAnsi(folder.Path());
    return context.LoadStoredLogin();
}

void Save(const CTestFolder& folder, const std::string& password, const std::string& user)
{
    PostContext context;
    context.m_strDataFolder = platform::WideFromAnsi(folder.Path());
    context.m_strPassword = password;
    context.m_strUserName = user;
    ASSERT_TRUE(context.WritePreferences(1));
}

std::string Hex(const std::string& bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (char c : bytes) {
        text += kHex[static_cast<unsigned char>(c) >> 4];
        text += kHex[c & 0x0F];
    }
    return text;
}

std::string FromHex(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    return bytes;
}

TEST(PasswordProtection, TheFileHoldsASealedValueThatOnlyThisUserOpens)
{
    CTestFolder folder;
    Save(folder, "correct horse", "alice");
    const std::string stored = StoredTextOnDisk(folder);
    ASSERT_EQ(stored.compare(0, 5, settings::kProtectedMarker), 0) << stored;
    const std::string bytes = ReadFileBytes(folder.Path() + "UserSettings.xml");
    EXPECT_EQ(bytes.find("correct horse"), std::string::npos);
    EXPECT_EQ(bytes.find(settings::ScramblePassword("correct horse")), std::string::npos);
    EXPECT_NE(bytes.find("<Login>alice</Login>"), std::string::npos);

    PostContext context;
    EXPECT_TRUE(Load(folder, context));
    EXPECT_EQ(context.m_strPassword, "correct horse");
    EXPECT_EQ(context.m_strUserName, "alice");

    // Each save seals afresh; both open.
    Save(folder, "correct horse", "alice");
    EXPECT_NE(StoredTextOnDisk(folder), stored);

    // The platform does not open the blob without our entropy value.
    const std::string sealed = FromHex(stored.substr(5));
    DATA_BLOB in{static_cast<DWORD>(sealed.size()), reinterpret_cast<BYTE*>(const_cast<char*>(sealed.data()))};
    DATA_BLOB out{};
    EXPECT_FALSE(::CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out));
    if (out.pbData)
        ::LocalFree(out.pbData);
}

TEST(PasswordProtection, AFileOfTheEarlierVersionSignsInAndIsSealedTheFirstTimeItIsRead)
{
    CTestFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Path() + "UserSettings.xml",
                               settings::TextModeBytes(settings::ComposeStoredLogin("pw&<1>", "alice", "s", "e"))));
    ASSERT_TRUE(WriteFileBytes(folder.Path() + "UserPrefs.xml",
                               settings::TextModeBytes(settings::ComposePreferences(1, 1))));
    const std::string earlier = ReadFileBytes(folder.Path() + "UserSettings.xml");

    PostContext context;
    ASSERT_TRUE(Load(folder, context));
    EXPECT_EQ(context.m_strPassword, "pw&<1>");
    EXPECT_EQ(context.m_strUserName, "alice");
    EXPECT_EQ(context.m_strServer, "s");
    EXPECT_EQ(context.m_strEndpoint, "e");
    // Reading seals it: "Always use" may never save the log-in again.
    EXPECT_NE(ReadFileBytes(folder.Path() + "UserSettings.xml"), earlier);
    EXPECT_EQ(StoredTextOnDisk(folder).compare(0, 5, settings::kProtectedMarker), 0);
    EXPECT_EQ(folder.Files().size(), 2u) << "replaced in place, nothing left beside it";
    EXPECT_EQ(ReadFileBytes(folder.Path() + "UserSettings.xml").find(settings::ScramblePassword("pw&<1>")),
              std::string::npos);
    PostContext again;
    EXPECT_TRUE(Load(folder, again));
    EXPECT_EQ(again.m_strPassword, "pw&<1>");
    EXPECT_EQ(again.m_strServer, "s");
}

TEST(PasswordProtection, ASealedValueThatCannotBeOpenedIsNoStoredLogIn)
{
    // Sealed with another entropy value stands for another user's or
    // machine's blob: the platform refuses it the same way.
    const std::string secret = "not yours";
    DATA_BLOB in{static_cast<DWORD>(secret.size()), reinterpret_cast<BYTE*>(const_cast<char*>(secret.data()))};
    BYTE other[] = "someone else";
    DATA_BLOB entropy{sizeof other, other};
    DATA_BLOB out{};
    ASSERT_TRUE(::CryptProtectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out));
    std::string foreign(reinterpret_cast<char*>(out.pbData), out.cbData);
    ::LocalFree(out.pbData);

    CTestFolder own;
    Save(own, "mine", "alice");
    const std::string sealedOwn = FromHex(StoredTextOnDisk(own).substr(5));
    std::string tampered = sealedOwn;
    tampered[tampered.size() - 30] ^= 0x55;  // in the cipher text, before the closing hash
    const std::string cut = sealedOwn.substr(0, sealedOwn.size() - 10);

    for (const std::string& sealed : {foreign, tampered, cut, std::string()}) {
        CTestFolder folder;
        const std::string stored = settings::kProtectedMarker + Hex(sealed);
        ASSERT_TRUE(WriteFileBytes(folder.Path() + "UserSettings.xml",
                                   settings::TextModeBytes(settings::ComposeStoredLoginText(stored, "alice", "s", ""))));
        PostContext context;
        EXPECT_FALSE(Load(folder, context));
        EXPECT_EQ(context.m_strPassword, "");
        EXPECT_EQ(context.m_strUserName, "");
        EXPECT_EQ(context.m_strServer, "");
    }
}

}  // namespace
