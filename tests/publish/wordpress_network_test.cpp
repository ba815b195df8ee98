// The real library against the local WordPress started as a subdirectory
// network of two sites ("/" and "/site2/", scripts/wordpress.sh
// start-network): both are listed, and a post for the second site lands on
// the second only, with its image in that site's media, over XML-RPC and
// over the REST API when XML-RPC is blocked. Each site is read back at its own address.
#include "support/CannedServer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "qtvpublish/real/Utf8.h"
#include "qtvpublish/real/XmlRpcClient.h"
#include "support/RealLibrary.h"

using publish_test::CRealLibrary;
using publish_test::WindowsPath;
using qtvpublish::CXmlRpcValue;

namespace {

std::string Env(const char* key)
{
    return publish_test::EnvValue(WP_NETWORK_ENV_FILE, key);
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

const char kBody[] = "<a href=\"%s\"><img src = \"%s\" align = \"left\" height=\"239\" width=\"320\" "
                     "hspace = \"20\" /></a><p>For the second site.</p>";

struct CSite {
    std::string strUrl, strXmlRpc;
};

class WordPressNetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Env("WP_NETWORK"), "1") << "no local WordPress network: " << WP_NETWORK_ENV_FILE;
        ASSERT_TRUE(m_library.Loaded());
    }
    void TearDown() override { ::DeleteFileA(m_strSwitch.c_str()); }

    std::string Png()
    {
        const std::string path = m_images.Path() + "WordPressExt" + std::to_string(::GetTickCount64() % 100000) + ".png";
        EXPECT_TRUE(publish_test::WritePng(path, 640, 480));
        return path;
    }

    std::string UniqueTitle(const char* what) const
    {
        return std::string(what) + " " + std::to_string(::GetTickCount64());
    }

    qtvpublish::CXmlRpcRequest Request(const char* method) const
    {
        qtvpublish::CXmlRpcRequest request(method);
        request.String("1").String(m_strUser).String(m_strPassword);
        return request;
    }

    // The content of the site's post with this title, as the site stored it; empty when it has none.
    std::string PostContent(const CSite& site, const std::string& title) const
    {
        const qtvpublish::CXmlRpcClient client(site.strXmlRpc);
        qtvpublish::CXmlRpcRequest request = Request("wp.getPosts");
        request.BeginStruct().Member("number").Int(50).Member("post_status").String("any").EndStruct();
        const qtvpublish::CCallResult posts = client.Call(request);
        EXPECT_TRUE(posts.IsValue()) << site.strXmlRpc << ": " << posts.m_strFault;
        for (const CXmlRpcValue& post : posts.m_value.m_items)
            if (qtvpublish::AnsiFromWideText(post.Text(L"post_title")) == title)
                return qtvpublish::Utf8FromWide(post.Text(L"post_content"));
        return std::string();
    }

    std::vector<std::string> Media(const CSite& site) const
    {
        const qtvpublish::CXmlRpcClient client(site.strXmlRpc);
        qtvpublish::CXmlRpcRequest request = Request("wp.getMediaLibrary");
        request.BeginStruct().Member("number").Int(50).EndStruct();
        const qtvpublish::CCallResult media = client.Call(request);
        EXPECT_TRUE(media.IsValue()) << site.strXmlRpc << ": " << media.m_strFault;
        std::vector<std::string> links;
        for (const CXmlRpcValue& item : media.m_value.m_items)
            links.push_back(qtvpublish::Utf8FromWide(item.Text(L"link")));
        return links;
    }

    // The image address both places of the post hold.
    static std::string ImageAddress(const std::string& content)
    {
        const std::size_t href = content.find("<a href=\"");
        if (href == std::string::npos)
            return std::string();
        const std::string address = content.substr(href + 9, content.find('"', href + 9) - href - 9);
        return Contains(content, "<img src = \"" + address + "\"") ? address : std::string();
    }

    // On the second site only, with its image in the second site's media alone.
    void ExpectOnTheSecondSiteOnly(const std::string& title)
    {
        const std::string content = PostContent(m_second, title);
        ASSERT_FALSE(content.empty()) << "the second site has no post titled " << title;
        EXPECT_TRUE(PostContent(m_first, title).empty()) << "the first site has the post too";
        const std::string image = ImageAddress(content);
        EXPECT_TRUE(Contains(image, "/uploads/sites/2/")) << content;
        const auto second = Media(m_second);
        EXPECT_NE(std::find(second.begin(), second.end(), image), second.end()) << image;
        const auto first = Media(m_first);
        EXPECT_EQ(std::find(first.begin(), first.end(), image), first.end()) << image;
    }

    std::string m_strUser = Env("WP_USER");
    std::string m_strPassword = Env("WP_PASSWORD");
    std::string m_strAppPassword = Env("WP_APP_PASSWORD");
    std::string m_strSwitch = WindowsPath(Env("WP_XMLRPC_SWITCH"));
    CSite m_first{Env("WP_URL"), Env("WP_XMLRPC")};
    CSite m_second{Env("WP_SITE2_URL"), Env("WP_SITE2_XMLRPC")};
    CRealLibrary m_library{m_first.strXmlRpc};
    testing_support::CTestFolder m_images{"img"};
};

using WordPressNetwork = WordPressNetworkTest;

}  // namespace

TEST_F(WordPressNetwork, BothSitesListedAndThePostLandsOnTheChosenOne)
{
    const auto listed = m_library.GetBlogIds(1, "", "", m_strUser, m_strPassword);
    EXPECT_EQ(listed.nStatus, S_OK);
    EXPECT_EQ(listed.strXml, "<Blogs><Blog_Object><BlogId>1</BlogId><BlogName>" + Env("WP_BLOG_NAME") +
                                 "</BlogName><BlogAddress>" + m_first.strUrl +
                                 "/</BlogAddress></Blog_Object><Blog_Object><BlogId>2</BlogId><BlogName>" +
                                 Env("WP_SITE2_NAME") + "</BlogName><BlogAddress>" + m_second.strUrl +
                                 "/</BlogAddress></Blog_Object></Blogs>");
    const std::string title = UniqueTitle("Second site");
    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_strUser, m_strPassword, "2", title, kBody, 0, m_second.strUrl + "/"),
              0);
    ExpectOnTheSecondSiteOnly(title);

    // The first site is still the first, and a library loaded for one post
    // alone finds the second site's address by listing again.
    const std::string first = UniqueTitle("First site");
    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_strUser, m_strPassword, "1", first, kBody, 0, ""), 0);
    EXPECT_FALSE(PostContent(m_first, first).empty());
    EXPECT_TRUE(PostContent(m_second, first).empty());
    CRealLibrary fresh(m_first.strXmlRpc);
    const std::string again = UniqueTitle("Second site, fresh library");
    EXPECT_EQ(fresh.Publish(1, "", "", Png(), m_strUser, m_strPassword, "2", again, kBody, 1, ""), 0);
    ExpectOnTheSecondSiteOnly(again);
}

TEST_F(WordPressNetwork, RestFallbackFollowsTheChosenSite)
{
    // Listed while XML-RPC answers (the Blog Editor lists as it opens), then
    // blocked across the network before the post.
    EXPECT_EQ(m_library.GetBlogIds(1, "", "", m_strUser, m_strAppPassword).nStatus, S_OK);
    ASSERT_TRUE(testing_support::WriteFileBytes(m_strSwitch, "403"));
    const std::string title = UniqueTitle("Second site over REST");
    EXPECT_EQ(m_library.Publish(1, "", "", Png(), m_strUser, m_strAppPassword, "2", title, kBody, 0, ""), 0);
    // The block holds on the second site too, so the post came over its REST API.
    const qtvpublish::CCallResult probe = qtvpublish::CXmlRpcClient(m_second.strXmlRpc).Call(Request("wp.getPosts"));
    EXPECT_FALSE(probe.IsValue());
    EXPECT_EQ(probe.m_dwHttpStatus, 403u);
    ::DeleteFileA(m_strSwitch.c_str());
    ExpectOnTheSecondSiteOnly(title);

    // Over REST only one site can be listed, the one of the configured
    // address: the second site's post goes nowhere rather than to the first.
    ASSERT_TRUE(testing_support::WriteFileBytes(m_strSwitch, "fault"));
    CRealLibrary blocked(m_first.strXmlRpc);
    const std::string lost = UniqueTitle("Never on the first site");
    EXPECT_EQ(blocked.Publish(1, "", "", Png(), m_strUser, m_strAppPassword, "2", lost, kBody, 0, ""),
              kPublishFailed);
    ::DeleteFileA(m_strSwitch.c_str());
    EXPECT_TRUE(PostContent(m_first, lost).empty());
    EXPECT_TRUE(PostContent(m_second, lost).empty());
}
