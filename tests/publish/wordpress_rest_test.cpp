// The real library against the local WordPress with XML-RPC blocked, as
// hosts do: the blog is listed and posted to over the REST API with an
// application password, and read back over REST. With XML-RPC open the
// server sees no REST traffic at all.
#include "support/CannedServer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "qtvpublish/real/Base64.h"
#include "qtvpublish/real/HttpClient.h"
#include "qtvpublish/real/Utf8.h"
#include "settings/QTVXmlString.h"
#include "support/RealLibrary.h"

using publish_test::CMessageBoxWatcher;
using publish_test::CRealLibrary;
using publish_test::WindowsPath;

namespace {

std::string Env(const char* key)
{
    return publish_test::EnvValue(WP_ENV_FILE, key);
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const char kBody[] = "<a href=\"%s\"><img src = \"%s\" align = \"left\" height=\"239\" width=\"320\" "
                     "hspace = \"20\" /></a><p>Over REST, 100&#37; real.</p>";

class WordPressTestBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_strXmlRpc.empty()) << "no local WordPress: " << WP_ENV_FILE;
        ASSERT_FALSE(m_strAppPassword.empty());
        ASSERT_TRUE(m_library.Loaded());
    }

    std::string Png()
    {
        const std::string path = m_images.Path() + "WordPressExt" + std::to_string(::GetTickCount64() % 100000) + ".png";
        EXPECT_TRUE(publish_test::WritePng(path, 640, 480));
        return path;
    }

    // The post with this title as WordPress stored it, read over REST.
    nlohmann::json FindPost(const std::string& title) const
    {
        qtvpublish::CHttpClient http;
        std::string auth;
        qtvpublish::EncodeBase64(m_strUser + ":" + m_strAppPassword, auth);
        qtvpublish::CHttpRequest request;
        request.m_strMethod = L"GET";
        request.m_strUrl = qtvpublish::WideFromUtf8(m_strUrl + "/wp-json/wp/v2/posts?context=edit&per_page=50&status=publish,draft");
        request.m_strHeaders = L"Authorization: Basic " + qtvpublish::WideFromUtf8(auth) + L"\r\n";
        const qtvpublish::CHttpResult reply = http.Send(request);
        EXPECT_EQ(reply.m_dwStatus, 200u) << reply.m_strBody.substr(0, 300);
        const nlohmann::json posts = nlohmann::json::parse(reply.m_strBody, nullptr, false);
        if (posts.is_array())
            for (const nlohmann::json& post : posts)
                if (post.is_object() && post.value("title", nlohmann::json::object()).value("raw", "") ==
                                            qtvpublish::Utf8FromAnsi(title))
                    return post;
        ADD_FAILURE() << "no post titled " << title;
        return nlohmann::json::object();
    }

    std::string ServerLog() const { return testing_support::ReadFileBytes(m_strServerLog); }

    std::string m_strUrl = Env("WP_URL");
    std::string m_strXmlRpc = Env("WP_XMLRPC");
    std::string m_strUser = Env("WP_USER");
    std::string m_strPassword = Env("WP_PASSWORD");
    std::string m_strAppPassword = Env("WP_APP_PASSWORD");
    std::string m_strBlogName = Env("WP_BLOG_NAME");
    std::string m_strServerLog = WindowsPath(Env("WP_SERVER_LOG"));
    CRealLibrary m_library{m_strXmlRpc};
    testing_support::CTestFolder m_images{"img"};
};

// XML-RPC blocked for the test's life, by the switch of scripts/wordpress.sh.
class WordPressRestTest : public WordPressTestBase {
protected:
    void Block(const char* how)
    {
        ASSERT_TRUE(testing_support::WriteFileBytes(m_strSwitch, how));
    }
    void TearDown() override { ::DeleteFileA(m_strSwitch.c_str()); }

    std::string m_strSwitch = WindowsPath(Env("WP_XMLRPC_SWITCH"));
};

using WordPressRest = WordPressRestTest;
using WordPressXmlRpcOpen = WordPressTestBase;

}  // namespace

TEST_F(WordPressRest, ListedAndPublishedWithAnApplicationPassword)
{
    Block("403");
    ULONGLONG start = ::GetTickCount64();
    const auto listed = m_library.GetBlogIds(1, "", "", m_strUser, m_strAppPassword);
    std::printf("GetBlogIDs over REST, found on the way: %llu ms\n",
                static_cast<unsigned long long>(::GetTickCount64() - start));
    EXPECT_EQ(listed.nStatus, S_OK);
    QTVXmlString name = m_strBlogName;
    QTVXmlString::EscapeText(name);
    EXPECT_EQ(listed.strXml, "<Blogs><Blog_Object><BlogId>1</BlogId><BlogName>" + name + "</BlogName><BlogAddress>" +
                                 m_strUrl + "/</BlogAddress></Blog_Object></Blogs>");

    const std::string title = "Over REST & back " + std::to_string(::GetTickCount64());
    start = ::GetTickCount64();
    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_strUser, m_strAppPassword, "1", title, kBody, 1, m_strUrl + "/"),
              0);
    std::printf("PublishToBlogNoGUI over REST (640x480 PNG): %llu ms\n",
                static_cast<unsigned long long>(::GetTickCount64() - start));
    const nlohmann::json post = FindPost(title);
    EXPECT_EQ(post.value("status", ""), "draft");
    const std::string content = post.value("content", nlohmann::json::object()).value("raw", "");
    const std::string uploads = m_strUrl + "/wp-content/uploads/";
    const std::size_t href = content.find("<a href=\"" + uploads);
    ASSERT_NE(href, std::string::npos) << content;
    const std::string address = content.substr(href + 9, content.find('"', href + 9) - href - 9);
    EXPECT_TRUE(Contains(address, "WordPressExt")) << address;
    EXPECT_TRUE(Contains(content, "<img src = \"" + address + "\"")) << content;
    EXPECT_TRUE(Contains(content, "100&#37; real.")) << content;

    // The self-hosted type finds the same blog at its server.
    CRealLibrary selfHosted("");
    EXPECT_EQ(selfHosted.GetBlogIds(2, m_strUrl, "xmlrpc.php", m_strUser, m_strAppPassword).strXml, listed.strXml);
    const std::string published = "Published over REST " + std::to_string(::GetTickCount64());
    EXPECT_EQ(selfHosted.Publish(2, m_strUrl, "/xmlrpc.php", Png(), m_strUser, m_strAppPassword, "1", published,
                                 kBody, 0, ""),
              0);
    EXPECT_EQ(FindPost(published).value("status", ""), "publish");
}

TEST_F(WordPressRest, WrongApplicationPasswordAndTheSitesOwnPassword)
{
    Block("fault");
    CMessageBoxWatcher boxes;
    EXPECT_EQ(m_library.GetBlogIds(1, "", "", m_strUser, "abcd efgh ijkl mnop qrst uvwx").nStatus,
              static_cast<long>(E_FAIL));
    EXPECT_TRUE(boxes.Stop().empty()) << "a refused log-in is the accessory's to tell";

    CMessageBoxWatcher again;
    EXPECT_EQ(m_library.GetBlogIds(1, "", "", m_strUser, m_strPassword).nStatus, static_cast<long>(E_FAIL));
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_strUser, m_strPassword, "1", "never", kBody, 0, ""),
              kPublishFailed);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    std::printf("PublishToBlogNoGUI with the site's password: result 1 after %llu ms\n",
                static_cast<unsigned long long>(elapsed));
    EXPECT_LT(elapsed, 20000u);
    const auto texts = again.Stop();
    ASSERT_EQ(texts.size(), 2u);
    for (const std::string& text : texts) {
        EXPECT_TRUE(Contains(text, "application password")) << text;
        EXPECT_TRUE(Contains(text, m_strUrl + "/wp-admin/profile.php")) << text;
        EXPECT_FALSE(Contains(text, m_strPassword)) << text;
    }
}

TEST_F(WordPressXmlRpcOpen, NoRestTrafficWhileXmlRpcAnswers)
{
    const std::size_t logStart = ServerLog().size();
    EXPECT_EQ(m_library.GetBlogIds(1, "", "", m_strUser, m_strPassword).nStatus, S_OK);
    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_strUser, m_strPassword, "1",
                                "Over XML-RPC " + std::to_string(::GetTickCount64()), kBody, 1, ""),
              0);
    const std::string seen = ServerLog().substr(logStart);
    EXPECT_TRUE(Contains(seen, "POST /xmlrpc.php")) << seen;
    EXPECT_FALSE(Contains(seen, "wp-json")) << seen;
    EXPECT_FALSE(Contains(seen, "rest_route")) << seen;
    EXPECT_FALSE(Contains(seen, "GET /")) << seen;
}
