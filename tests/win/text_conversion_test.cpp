// Wide-to-8-bit conversion never maps a character to a look-alike: what the
// code page cannot hold becomes '?', whatever path the text takes.
#include <gtest/gtest.h>

#include "platform/Text.h"
#include "settings/CodePage.h"
#include "settings/QTVXmlString.h"

namespace {

TEST(TextConversion, CharactersTheCodePageLacksAreNotTurnedIntoLookAlikes)
{
    // Fullwidth letters, a fullwidth colon and solidus, a dotless i, and a
    // letter with a ring that single-byte pages best-fit to "A".
    const std::wstring lookAlikes = L"\uFF41\uFF44\uFF4D\uFF1A\uFF0F\u0131\u0104";
    for (UINT codePage : {UINT{CP_ACP}, UINT{CP_THREAD_ACP}, 1252u, 1250u, 437u}) {
        const std::string text = platform::AnsiFromWide(lookAlikes, codePage);
        for (char c : text)
            EXPECT_TRUE(c == '?' || static_cast<unsigned char>(c) >= 0x80) << codePage << ": " << text;
    }
    EXPECT_EQ(platform::AnsiFromWide(std::wstring(L"http://\uFF45xample.com"), 1252), "http://?xample.com");
    EXPECT_EQ(platform::CBstr(L"\uFF41dmin").ToAnsi(), "?dmin");
    // The settings reader takes the same road.
    EXPECT_EQ(QTVXmlString(std::wstring(L"<a>\uFF41</a>")), "<a>?</a>");

    // What the code page holds converts as before, and so does UTF-8, which
    // takes no flags at all.
    EXPECT_EQ(platform::AnsiFromWide(std::wstring(L"caf\u00E9 \u20AC"), 1252), "caf\xE9 \x80");
    EXPECT_EQ(platform::AnsiFromWide(std::wstring(L"\uFF41\u00E9"), CP_UTF8), "\xEF\xBD\x81\xC3\xA9");
    EXPECT_EQ(platform::AnsiFromWide(std::wstring(L"\u65E5\u672C"), 932), "\x93\xFA\x96\x7B");
    EXPECT_EQ(platform::AnsiFromWide(std::wstring(L""), 1252), "");
}

}  // namespace
