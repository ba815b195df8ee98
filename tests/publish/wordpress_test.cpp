// The real library's exports against a real WordPress on loopback, started
// by the test fixture (scripts/wordpress.sh); posts are read back over
// XML-RPC to see what WordPress stored.
#include "support/CannedServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "publish/PostComposition.h"
#include "qtvpublish/real/Utf8.h"
#include "rtf2html/CodePages.h"
#include "settings/QTVXmlString.h"
#include "qtvpublish/real/XmlRpcClient.h"
#include "support/RealLibrary.h"
#include "support/UiDriver.h"

using publish_test::CRealLibrary;
using qtvpublish::CXmlRpcValue;

namespace {

struct CWordPress {
    std::string strUrl = publish_test::EnvValue(WP_ENV_FILE, "WP_URL");
    std::string strXmlRpc = publish_test::EnvValue(WP_ENV_FILE, "WP_XMLRPC");
    std::string strUser = publish_test::EnvValue(WP_ENV_FILE, "WP_USER");
    std::string strPassword = publish_test::EnvValue(WP_ENV_FILE, "WP_PASSWORD");
    std::string strBlogName = publish_test::EnvValue(WP_ENV_FILE, "WP_BLOG_NAME");
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class WordPressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_wp.strXmlRpc.empty()) << "no local WordPress: " << WP_ENV_FILE;
        ASSERT_TRUE(m_library.Loaded());
    }

    // The post with this title among the newest, as WordPress stored it.
    CXmlRpcValue FindPost(const std::string& title) const
    {
        const qtvpublish::CXmlRpcClient client(m_wp.strXmlRpc);
        qtvpublish::CXmlRpcRequest request("wp.getPosts");
        request.String("1").String(m_wp.strUser).String(m_wp.strPassword);
        request.BeginStruct().Member("number").Int(50).Member("post_status").String("any").EndStruct();
        const qtvpublish::CCallResult posts = client.Call(request);
        EXPECT_TRUE(posts.IsValue()) << posts.m_strFault;
        for (const CXmlRpcValue& post : posts.m_value.m_items) {
            if (qtvpublish::AnsiFromWideText(post.Text(L"post_title")) != title)
                continue;
            qtvpublish::CXmlRpcRequest get("wp.getPost");
            get.String("1").String(m_wp.strUser).String(m_wp.strPassword).String(
                qtvpublish::Utf8FromWide(post.Text(L"post_id")));
            return client.Call(get).m_value;
        }
        ADD_FAILURE() << "no post titled " << title;
        return CXmlRpcValue();
    }

    std::string UniqueTitle(const char* what) const
    {
        return std::string(what) + " " + std::to_string(::GetTickCount64());
    }

    std::string Png()
    {
        const std::string path = m_images.Path() + "WordPressExt" + std::to_string(::GetTickCount64() % 100000) + ".png";
        EXPECT_TRUE(publish_test::WritePng(path, 640, 480));
        return path;
    }

    CWordPress m_wp;
    CRealLibrary m_library{m_wp.strXmlRpc};
    testing_support::CTestFolder m_images{"img"};
};

using WordPressBlogs = WordPressTest;
using WordPressPosts = WordPressTest;
using WordPressFailures = WordPressTest;

const char kBody[] = "<a href=\"%s\"><img src = \"%s\" align = \"left\" height=\"239\" width=\"320\" "
                     "hspace = \"20\" /></a><p>A short entry, 100&#37; real.</p>";

}  // namespace

TEST_F(WordPressBlogs, ListInTheContractXmlAndRefusedLogIn)
{
    ULONGLONG start = ::GetTickCount64();
    const auto listed = m_library.GetBlogIds(1, "", "", m_wp.strUser, m_wp.strPassword);
    std::printf("GetBlogIDs: %llu ms\n", static_cast<unsigned long long>(::GetTickCount64() - start));
    EXPECT_EQ(listed.nStatus, S_OK);
    QTVXmlString escapedName = m_wp.strBlogName;
    QTVXmlString::EscapeText(escapedName);
    EXPECT_EQ(listed.strXml, "<Blogs><Blog_Object><BlogId>1</BlogId><BlogName>" + escapedName +
                                 "</BlogName><BlogAddress>" + m_wp.strUrl + "/</BlogAddress></Blog_Object></Blogs>");

    start = ::GetTickCount64();
    EXPECT_EQ(m_library.GetBlogIds(1, "", "", m_wp.strUser, m_wp.strPassword + "x").nStatus,
              static_cast<long>(E_FAIL));
    std::printf("refused GetBlogIDs: %llu ms\n", static_cast<unsigned long long>(::GetTickCount64() - start));
    EXPECT_EQ(m_library.GetBlogIds(1, "", "", "nobody", m_wp.strPassword).nStatus, static_cast<long>(E_FAIL));

    // The same blog through the MetaWeblog dialect at server and endpoint.
    const auto selfHosted = m_library.GetBlogIds(2, m_wp.strUrl, "xmlrpc.php", m_wp.strUser, m_wp.strPassword);
    EXPECT_EQ(selfHosted.nStatus, S_OK);
    EXPECT_EQ(selfHosted.strXml, listed.strXml);
    EXPECT_EQ(m_library.GetBlogIds(2, m_wp.strUrl, "xmlrpc.php", m_wp.strUser, "wrong").nStatus,
              static_cast<long>(E_FAIL));
}

TEST_F(WordPressPosts, PublishedWithTheImageInBothPlacesAndDraftsStayDrafts)
{
    const std::string image = Png();
    const std::string title = UniqueTitle("Capture & notes");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(m_library.Publish(1, "", "", image, m_wp.strUser, m_wp.strPassword, "1", title, kBody, 0,
                                m_wp.strUrl + "/"),
              0);
    std::printf("PublishToBlogNoGUI (640x480 PNG): %llu ms\n",
                static_cast<unsigned long long>(::GetTickCount64() - start));

    const CXmlRpcValue post = FindPost(title);
    const std::string content = qtvpublish::AnsiFromWideText(post.Text(L"post_content"));
    EXPECT_EQ(qtvpublish::AnsiFromWideText(post.Text(L"post_status")), "publish");
    EXPECT_FALSE(Contains(content, "%s")) << content;
    const std::string uploads = m_wp.strUrl + "/wp-content/uploads/";
    const std::size_t href = content.find("<a href=\"" + uploads);
    ASSERT_NE(href, std::string::npos) << content;
    const std::size_t addressStart = href + 9;
    const std::string address = content.substr(addressStart, content.find('"', addressStart) - addressStart);
    EXPECT_TRUE(Contains(address, "WordPressExt")) << address;
    EXPECT_TRUE(Contains(content, "<img src = \"" + address + "\"")) << content;
    EXPECT_TRUE(Contains(content, "100&#37; real.")) << content;

    // The draft flag, through both dialects.
    const std::string draftTitle = UniqueTitle("Draft");
    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_wp.strUser, m_wp.strPassword, "1", draftTitle, kBody, 1, ""), 0);
    EXPECT_EQ(qtvpublish::AnsiFromWideText(FindPost(draftTitle).Text(L"post_status")), "draft");
    const std::string mwTitle = UniqueTitle("MetaWeblog");
    EXPECT_EQ(m_library.Publish(2, m_wp.strUrl, "/xmlrpc.php", Png(), m_wp.strUser, m_wp.strPassword, "1", mwTitle,
                                kBody, 1, ""),
              0);
    const CXmlRpcValue mwPost = FindPost(mwTitle);
    EXPECT_EQ(qtvpublish::AnsiFromWideText(mwPost.Text(L"post_status")), "draft");
    EXPECT_TRUE(Contains(qtvpublish::AnsiFromWideText(mwPost.Text(L"post_content")), "<img src = \"" + uploads));

    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_wp.strUser, "wrong", "1", UniqueTitle("Refused"), kBody, 0, ""),
              kPublishFailed);
}

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The stored text with its numeric character references read: WordPress may
// keep "&#1055;" as it came or store the character; either shows the same.
std::wstring WithReferencesRead(const std::wstring& text)
{
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t end = text.find(L';', i);
        if (text.compare(i, 2, L"&#") == 0 && end != std::wstring::npos && end - i <= 9 && end > i + 2) {
            const unsigned long code = std::wcstoul(text.substr(i + 2, end - i - 2).c_str(), nullptr, 10);
            if (code > 0 && code < 0x10000) {
                out += static_cast<wchar_t>(code);
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

// The entry as the Windows control writes text of other scripts (runs in
// fonts whose charset names the script, as bytes of its code page), through
// the post's composition and the real library: every script arrives.
TEST_F(WordPressPosts, EntryInSeveralScriptsAsWindowsWritesItArrivesInEachScript)
{
    const std::string rtf = ReadFile(WP_TEST_DATA "/rtf/windows_scripts.rtf");
    ASSERT_FALSE(rtf.empty());
    const std::string entry =
        publish::ConvertEntry(publish::TrimFinalParagraph(rtf), &rtf2html::WindowsCodePages());
    const std::string body = "<a href=\"%s\"><img src = \"%s\" align = \"left\" hspace = \"20\" /></a>" + entry;
    const std::string title = UniqueTitle("Scripts");
    ASSERT_EQ(m_library.Publish(1, "", "", Png(), m_wp.strUser, m_wp.strPassword, "1", title, body, 0, ""), 0);

    const std::wstring content = WithReferencesRead(FindPost(title).Text(L"post_content"));
    const std::string shown = qtvpublish::Utf8FromWide(content);
    for (const wchar_t* part : {L"Caf\u00e9 in Moscow: \u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440!",
                                L"\u03b3\u03b5\u03b9\u03b1 \u03c3\u03bf\u03c5 and \u8868\u793a\u3059\u308b 50%",
                                L"\u4f60\u597d\uff0c\u4e16\u754c \u0434\u0430 \u2192 \u043d\u0435\u0442 see",
                                L"<a href=\"http://example.jp/\u8868\">\u65e5\u672c</a> \u00e9t\u00e9"})
        EXPECT_NE(content.find(part), std::wstring::npos) << qtvpublish::Utf8FromWide(part) << "\nin\n" << shown;
}

TEST_F(WordPressFailures, WebPageAnswerIsNotARefusedLogIn)
{
    // The blog's front page answers a POST with HTML, as hosts that block XML-RPC do.
    CRealLibrary pageLibrary(m_wp.strUrl + "/");
    std::string message;
    ui::CUserScript script([&] { message = ui::AnswerMessageBox(IDOK, 20000); });
    const auto listed = pageLibrary.GetBlogIds(1, "", "", m_wp.strUser, m_wp.strPassword);
    script.Join();
    EXPECT_EQ(listed.nStatus, S_FALSE) << "a failure that is not a refused log-in";
    EXPECT_EQ(listed.strXml, "<Blogs></Blogs>");
    EXPECT_TRUE(Contains(message, "web page")) << message;
    EXPECT_TRUE(Contains(message, m_wp.strUrl)) << message;
    EXPECT_FALSE(Contains(message, m_wp.strPassword)) << message;
}

TEST_F(WordPressFailures, StoppedServerGivesResultOneInTime)
{
    CRealLibrary stopped("http://127.0.0.1:" + std::to_string(publish_test::ClosedPort()) + "/xmlrpc.php");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(stopped.Publish(1, "", "", Png(), m_wp.strUser, m_wp.strPassword, "1", "t", kBody, 0, ""),
              kPublishFailed);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    std::printf("stopped server: result 1 after %llu ms\n", static_cast<unsigned long long>(elapsed));
    EXPECT_LT(elapsed, 15000u);
}
