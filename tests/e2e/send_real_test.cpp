// A capture sent through the built accessory with the real publishing library
// to the local WordPress, the dialogs driven as a user would; the post is read
// back over XML-RPC to see what WordPress stored and what a reader sees.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/Text.h"
#include "res/DialogIds.h"
#include "support/EditorDriver.h"
#include "support/RealSend.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"

using testing_support::CTestAccessory;

namespace {

std::string Utf8(const std::wstring& text) { return platform::AnsiFromWide(text, CP_UTF8); }

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::wstring WindowTextW(HWND hWnd)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hWnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hWnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

// The entry's text as the control keeps it, in UTF-16 whatever the window's kind.
std::wstring EntryTextW(HWND hEntry)
{
    GETTEXTLENGTHEX length{GTL_DEFAULT | GTL_NUMCHARS, 1200};
    const auto n = static_cast<std::size_t>(::SendMessageW(hEntry, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    std::wstring text(n + 1, L'\0');
    GETTEXTEX get{static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    text.resize(static_cast<std::size_t>(
        ::SendMessageW(hEntry, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

class WordPressSend : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_wp.Known()) << "no local WordPress: " << WP_ENV_FILE;
        // WP_E2E_FRONT=GOOD: the same send, and its reading back, over https
        // through the local WordPress's TLS front (its WP_TLS_GOOD).
        char front[32] = {};
        if (::GetEnvironmentVariableA("WP_E2E_FRONT", front, sizeof front) > 0) {
            m_wp.strUrl = e2e::EnvValue(WP_ENV_FILE, std::string("WP_TLS_") + front);
            ASSERT_FALSE(m_wp.strUrl.empty()) << "the local WordPress has no TLS front " << front;
            m_wp.strXmlRpc = m_wp.strUrl + "/xmlrpc.php";
        }
        ASSERT_HRESULT_SUCCEEDED(m_accessory.CreateResult());
        ASSERT_TRUE(e2e::InstallRealLibrary(WP_REAL_LIBRARY_DIR, m_accessory.AccessoryFolder(), m_wp.strXmlRpc));
        ::ShowWindow(m_accessory.MainWindow(), SW_SHOWNOACTIVATE);
    }
    void TearDown() override
    {
        for (HWND h : ui::FindWindows("", "qtvAccAlert"))
            ::DestroyWindow(h);
    }

    // Runs Send on this thread while the script plays the user.
    HRESULT Send(const std::function<void()>& script)
    {
        ui::CUserScript user(script, 90000);
        const HRESULT hr = m_accessory.As<IOutput>()->Send();
        user.Join();
        return hr;
    }

    e2e::CWordPress m_wp = e2e::CWordPress::FromEnvFile(WP_ENV_FILE);
    CTestAccessory m_accessory{testing_support::CreateFrom::BuiltDll};
};

}  // namespace

TEST_F(WordPressSend, TitleAndFormattedEntryInAnyScriptArePublishedWithTheUploadedImage)
{
    const std::wstring title = L"Caf\u00e9 \u65e5\u672c \u2615 100%";
    const std::wstring marker = L"Run " + std::to_wstring(::GetTickCount64());
    std::wstring titleShown, entryKept;
    bool bLinked = false, bPasted = false, bPosted = false;
    const HRESULT hr = Send([&] {
        ASSERT_NE(e2e::LogIn(m_wp.strUser, m_wp.strPassword), nullptr) << "the log-in dialog opened";
        HWND h = e2e::WaitForEditor();
        ASSERT_NE(h, nullptr) << "the Blog Editor opened";
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), title);
        ui::Type(e2e::Entry(h), marker + L": ");
        ui::Press("Ctrl+B");
        ui::Type(nullptr, "bold words");
        ui::Press("Ctrl+B");
        ui::Type(nullptr, " then ");
        bLinked = e2e::AddLink("the site", "www.example.org");
        ui::Type(nullptr, L" \u00fc \u20ac ");
        // Pasted here; typed, the case below.
        bPasted = e2e::Paste(L"\u65e5\u672c");
        ui::Type(nullptr, L" and 100% done.");
        // The last keys may still be on their way on a busy machine.
        ui::WaitFor([&] {
            const std::wstring text = EntryTextW(e2e::Entry(h));
            return !text.empty() && text.back() == L'.';
        }, 5000);
        titleShown = WindowTextW(ui::Control(h, IDC_EDITOR_TITLE));
        entryKept = EntryTextW(e2e::Entry(h));
        bPosted = e2e::Post(h);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_TRUE(bLinked) << "the link dialog opened and closed";
    EXPECT_TRUE(bPasted);
    ASSERT_TRUE(bPosted) << "the editor closed after \"&Post\"";
    EXPECT_EQ(titleShown, title) << Utf8(titleShown);
    EXPECT_TRUE(Contains(entryKept, L" \u00fc \u20ac \u65e5\u672c and 100% done.")) << Utf8(entryKept);
    EXPECT_NE(e2e::WaitForPopup(), nullptr) << "the popup announced the post";

    const e2e::CPost post = e2e::FindPost(m_wp, marker);
    ASSERT_TRUE(post.Found()) << "no post holding " << Utf8(marker);
    EXPECT_EQ(post.strStatus, L"publish");
    // Characters beyond the code page travel as character references.
    EXPECT_TRUE(Contains(post.strTitle, L"&#26085;&#26412; &#9749;")) << Utf8(post.strTitle);
    EXPECT_EQ(e2e::DecodeEntities(post.strTitle), title) << Utf8(post.strTitle);

    const std::wstring text = e2e::DecodeEntities(post.strContent);
    EXPECT_TRUE(Contains(text, marker + L": <b>bold words</b> then ")) << Utf8(post.strContent);
    EXPECT_TRUE(Contains(text, L"<a href=\"http://www.example.org\">")) << Utf8(post.strContent);
    EXPECT_TRUE(Contains(text, L"the site</a>")) << Utf8(post.strContent);
    EXPECT_TRUE(Contains(text, L" \u00fc \u20ac \u65e5\u672c and 100% done.")) << Utf8(post.strContent);
    EXPECT_TRUE(Contains(post.strContent, L"100&#37; done.")) << Utf8(post.strContent);
    EXPECT_FALSE(Contains(post.strContent, L"%s")) << "both places were filled: " << Utf8(post.strContent);

    // The image block leads the entry; its link and its picture are the upload.
    const std::wstring lead = L"<a href=\"";
    ASSERT_EQ(post.strContent.find(lead), 0u) << Utf8(post.strContent);
    const std::size_t end = post.strContent.find(L'"', lead.size());
    const std::wstring address = post.strContent.substr(lead.size(), end - lead.size());
    EXPECT_EQ(address.find(platform::WideFromAnsi(m_wp.strUrl + "/wp-content/uploads/")), 0u) << Utf8(address);
    EXPECT_TRUE(Contains(post.strContent, L"\"><img src = \"" + address + L"\" alt=\"")) << Utf8(post.strContent);
    EXPECT_TRUE(Contains(post.strContent, L"\" align = \"left\" height=\"239\" width=\"320\"")) << Utf8(post.strContent);
    // The picture is named by the title, for readers who cannot see it.
    const std::size_t alt = post.strContent.find(L" alt=\"") + 6;
    EXPECT_EQ(e2e::DecodeEntities(post.strContent.substr(alt, post.strContent.find(L'"', alt) - alt)), title)
        << Utf8(post.strContent);
    const auto media = e2e::MediaAddresses(m_wp);
    EXPECT_NE(std::find(media.begin(), media.end(), address), media.end())
        << Utf8(address) << " is not in the media library";
}

// The entry is a Unicode window, so a typed character the code page cannot
// hold is not turned into "?" on its way to the control.
TEST_F(WordPressSend, TypedCharactersBeyondTheCodePageStayInTheEntry)
{
    std::wstring entryKept;
    const HRESULT hr = Send([&] {
        ASSERT_NE(e2e::LogIn(m_wp.strUser, m_wp.strPassword), nullptr);
        HWND h = e2e::WaitForEditor();
        ASSERT_NE(h, nullptr);
        const std::wstring typed = L"\u00fc \u20ac \u65e5\u672c \u2615";
        ui::Type(e2e::Entry(h), typed);
        // The last keys may still be on their way on a busy machine.
        ui::WaitFor([&] { return EntryTextW(e2e::Entry(h)) == typed; }, 5000);
        entryKept = EntryTextW(e2e::Entry(h));
        // The written entry is discarded on purpose.
        EXPECT_TRUE(editor_test::CloseDiscarding(h));
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(entryKept, L"\u00fc \u20ac \u65e5\u672c \u2615") << Utf8(entryKept);
}

namespace {

// The same send to the local WordPress started as a network of two sites
// (scripts/wordpress.sh start-network), the second site chosen in the list.
class WordPressNetworkSend : public WordPressSend {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_network.Known()) << "no local WordPress network: " << WP_NETWORK_ENV_FILE;
        ASSERT_HRESULT_SUCCEEDED(m_accessory.CreateResult());
        ASSERT_TRUE(e2e::InstallRealLibrary(WP_REAL_LIBRARY_DIR, m_accessory.AccessoryFolder(), m_network.strXmlRpc));
        ::ShowWindow(m_accessory.MainWindow(), SW_SHOWNOACTIVATE);
    }

    e2e::CWordPress m_network = e2e::CWordPress::FromEnvFile(WP_NETWORK_ENV_FILE);
};

}  // namespace

TEST_F(WordPressNetworkSend, TheBlogChosenInTheListReceivesThePost)
{
    e2e::CWordPress second = m_network;
    second.strUrl = e2e::EnvValue(WP_NETWORK_ENV_FILE, "WP_SITE2_URL");
    second.strXmlRpc = e2e::EnvValue(WP_NETWORK_ENV_FILE, "WP_SITE2_XMLRPC");
    const std::string secondName = e2e::EnvValue(WP_NETWORK_ENV_FILE, "WP_SITE2_NAME");
    ASSERT_FALSE(second.strXmlRpc.empty());
    const std::wstring marker = L"Network run " + std::to_wstring(::GetTickCount64());
    int nBlogs = 0;
    std::string chosen;
    bool bPosted = false;
    const HRESULT hr = Send([&] {
        ASSERT_NE(e2e::LogIn(m_network.strUser, m_network.strPassword), nullptr);
        HWND h = e2e::WaitForEditor();
        ASSERT_NE(h, nullptr);
        HWND hBlogs = ui::Control(h, IDC_EDITOR_BLOG_NAME);
        nBlogs = static_cast<int>(::SendMessageA(hBlogs, CB_GETCOUNT, 0, 0));
        // As a hand does: open the list, one down, take it.
        e2e::PointAt(hBlogs);
        ui::Click(hBlogs);
        ui::Press("Down");
        ui::Press("Enter");
        chosen = ui::Text(hBlogs);
        ui::Type(ui::Control(h, IDC_EDITOR_TITLE), "For the chosen blog");
        ui::Type(e2e::Entry(h), marker);
        bPosted = e2e::Post(h);
    });
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(nBlogs, 2);
    EXPECT_EQ(chosen, secondName);
    ASSERT_TRUE(bPosted);
    EXPECT_NE(e2e::WaitForPopup(), nullptr);

    const e2e::CPost post = e2e::FindPost(second, marker);
    ASSERT_TRUE(post.Found()) << "the second site has no post holding " << Utf8(marker);
    EXPECT_FALSE(e2e::FindPost(m_network, marker).Found()) << "the first site has it too";
    const std::wstring lead = L"<a href=\"";
    ASSERT_EQ(post.strContent.find(lead), 0u) << Utf8(post.strContent);
    const std::wstring address = post.strContent.substr(lead.size(), post.strContent.find(L'"', lead.size()) - lead.size());
    EXPECT_TRUE(Contains(address, L"/uploads/sites/2/")) << Utf8(address);
    const auto media = e2e::MediaAddresses(second);
    EXPECT_NE(std::find(media.begin(), media.end(), address), media.end()) << Utf8(address);
    const auto firstMedia = e2e::MediaAddresses(m_network);
    EXPECT_EQ(std::find(firstMedia.begin(), firstMedia.end(), address), firstMedia.end()) << Utf8(address);
}
