#include "settings/PasswordProtection.h"

#include <gtest/gtest.h>

#include "settings/PasswordScrambler.h"

namespace {

// Seals by reversing the bytes behind a tag; opens only what it sealed.
class CFakeProtector final : public settings::IPasswordProtector {
public:
    bool m_bWorks = true;
    bool Protect(const std::string& plain, std::string& sealed) override
    {
        sealed = "tag" + std::string(plain.rbegin(), plain.rend());
        return m_bWorks;
    }
    bool Unprotect(const std::string& sealed, std::string& plain) override
    {
        if (!m_bWorks || sealed.compare(0, 3, "tag") != 0)
            return false;
        plain.assign(sealed.rbegin(), sealed.rend() - 3);
        return true;
    }
};

TEST(StoredPassword, SealedPasswordsAreMarkedHexAndOpenAsTyped)
{
    CFakeProtector protector;
    const std::string stored = settings::ProtectStoredPassword("pw&<1>", protector);
    EXPECT_EQ(stored, std::string(settings::kProtectedMarker) + "7461673E313C267770");
    EXPECT_EQ(stored.find("pw"), std::string::npos);
    for (char c : stored)
        EXPECT_TRUE(c >= 0x21 && c <= 0x7E) << "printable, no space: " << stored;

    std::string password = "old";
    EXPECT_EQ(settings::OpenStoredPassword(stored, protector, password), settings::StoredPassword::Opened);
    EXPECT_EQ(password, "pw&<1>");

    std::string every;
    for (int b = 1; b < 256; ++b)
        every += static_cast<char>(b);
    EXPECT_EQ(settings::OpenStoredPassword(settings::ProtectStoredPassword(every, protector), protector, password),
              settings::StoredPassword::Opened);
    EXPECT_EQ(password, every);

    // A protector that cannot seal gives nothing to store.
    protector.m_bWorks = false;
    EXPECT_EQ(settings::ProtectStoredPassword("pw", protector), "");
}

TEST(StoredPassword, TheEarlierScrambledFormStillReads)
{
    CFakeProtector protector;
    std::string password;
    for (const char* typed : {"pw", "a`b", "`!P1:", "  ", "\x7F\x80\xFF"}) {
        EXPECT_EQ(settings::OpenStoredPassword(settings::ScramblePassword(typed), protector, password),
                  settings::StoredPassword::Scrambled)
            << typed;
        EXPECT_EQ(password, typed);
    }
    EXPECT_EQ(settings::OpenStoredPassword("", protector, password), settings::StoredPassword::Scrambled);
    EXPECT_EQ(password, "");

    // No scrambled text starts with the marker: its escape is always followed
    // by two hex digits.
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_NE(settings::ScramblePassword(one + "pw").compare(0, 2, "`!"), 0) << b;
    }
}

TEST(StoredPassword, ASealedValueThatCannotBeOpenedIsNoPassword)
{
    CFakeProtector protector;
    const std::string marker = settings::kProtectedMarker;
    const std::string good = settings::ProtectStoredPassword("pw", protector);
    for (const std::string& stored : std::initializer_list<std::string>{marker, marker + "7", marker + "74616G7770", marker + "7461677770 ",
                                      marker + "746167", marker + "61677770",
                                      marker + "74616700" /* a zero byte */}) {
        std::string password = "left over";
        EXPECT_EQ(settings::OpenStoredPassword(stored, protector, password), settings::StoredPassword::Unusable)
            << stored;
        EXPECT_EQ(password, "") << stored;
    }
    // Sealed for someone else: the platform refuses to open it.
    protector.m_bWorks = false;
    std::string password = "left over";
    EXPECT_EQ(settings::OpenStoredPassword(good, protector, password), settings::StoredPassword::Unusable);
    EXPECT_EQ(password, "");
}

}  // namespace
