// The Blog Editor and its links on a Japanese system, whose ANSI code page
// (932) writes most characters as two bytes: counts of the control's
// characters and counts of 8-bit bytes part ways there. These cases run in a
// CTest entry of their own whose locale makes Wine's code page 932; elsewhere
// they are left out (tests/win/CMakeLists.txt).
#include <gtest/gtest.h>

#include "editor/BlogOutputDlg.h"
#include "platform/Text.h"
#include "res/resource.h"
#include "rtf2html/RtfConverter.h"
#include "support/DialogDriver.h"
#include "support/EditorDriver.h"
#include "support/UiDriver.h"

using namespace dialog_test;
using namespace editor_test;

namespace {

constexpr UINT kJapanese = 932;
const wchar_t kAddress[] = L"https://x.example/\u65e5\u672c\u8a9e";  // 日本語
const wchar_t kAfter[] = L" \u7d9a\u304d now";                     // 続き

// The entry's text in UTF-16 from the control itself.
std::wstring EntryTextW(HWND h)
{
    std::wstring buffer(512, L'\0');
    GETTEXTEX how{static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    const LRESULT n = ::SendMessageW(Entry(h), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how),
                                     reinterpret_cast<LPARAM>(&buffer[0]));
    buffer.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return buffer;
}

// Types "go ", a link "there" to an address with Japanese characters, and
// Japanese text after it.
void WriteLinkedEntry(HWND h)
{
    ui::Type(Entry(h), "go ");
    ui::CUserScript answer([] {
        HWND hLink = ui::WaitForWindow("Create Link", "#32770", 5000);
        ASSERT_NE(hLink, nullptr) << "the link dialog opened";
        ui::Type(ui::Control(hLink, IDC_LINK_URL_TEXT), "there");
        ui::Type(ui::Control(hLink, IDC_LINK_URL_ADDRESS), std::wstring(kAddress));
        ui::Press("Enter");
        ui::WaitUntilGone(hLink, 3000);
    });
    ui::Press("Ctrl+K");
    answer.Join();
    ui::Type(nullptr, std::wstring(kAfter));
    const std::wstring expected = L"go there#\"" + std::wstring(kAddress) + L"\"" + kAfter;
    ui::WaitFor([&] { return EntryTextW(h) == expected; }, 5000);
}

class JapaneseCodePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Under any other code page these cases would pass without proving
        // anything: the locale of the CTest entry did not take.
        ASSERT_EQ(::GetACP(), kJapanese) << "run with LANG=ja_JP.UTF-8 and the locale generated (scripts/setup.sh)";
    }
};

}  // namespace

TEST_F(JapaneseCodePage, RemovingALinkToAJapaneseAddressKeepsTheTextAfterIt)
{
    WithEditor(BlogsXml({{"1", "One", "http://one.example/"}}), [](HWND h, CBlogOutputDlg& dlg) {
        WriteLinkedEntry(h);
        ASSERT_EQ(EntryTextW(h), L"go there#\"" + std::wstring(kAddress) + L"\"" + kAfter);
        ClickCharacter(h, 5);
        EXPECT_EQ(dlg.m_nLinkStart, 3);
        EXPECT_EQ(dlg.m_nLinkEnd, 8);
        // The hidden part counted in the control's characters, not in bytes.
        const int hidden = static_cast<int>(std::wstring(L"#\"").size() + std::wstring(kAddress).size() + 1);
        EXPECT_EQ(dlg.m_nHiddenStart, 8);
        EXPECT_EQ(dlg.m_nHiddenEnd, 8 + hidden);
        ASSERT_TRUE(Enabled(FormatBar(h), ID_REMOVE_LINK));

        ClickButton(FormatBar(h), ID_REMOVE_LINK);
        ui::WaitFor([&] { return dlg.m_nLinkStart == -1; }, 3000);
        EXPECT_EQ(EntryTextW(h), L"go there" + std::wstring(kAfter));
    });
}

TEST_F(JapaneseCodePage, LinkWithJapaneseTextConvertsInTheSystemsCodePage)
{
    WithEditor(BlogsXml({{"1", "One", "http://one.example/"}}), [](HWND h, CBlogOutputDlg&) {
        WriteLinkedEntry(h);
        const std::string rtf = EntryRtf(h);
        const std::string html = CRtfConverter().Convert(rtf, "\\pard", true);
        // The HTML is 8-bit text of the system's code page, as the library takes it.
        const std::wstring text = platform::WideFromAnsi(html, kJapanese);
        const std::wstring link = L"<a href=\"" + std::wstring(kAddress) + L"\"> there</a>" + kAfter;
        EXPECT_NE(text.find(link), std::wstring::npos) << platform::AnsiFromWide(text, CP_UTF8) << "\n" << rtf;
    });
}
