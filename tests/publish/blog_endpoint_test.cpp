// Each blog's own XML-RPC address, as a list names it, against canned
// servers: the upload and the post go to the chosen blog's address, never to
// the address the list came from, and an address the log-in may not follow
// is refused before anything is sent there.
#include "support/CannedServer.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winhttp.h>

#include "qtvpublish/real/PublishStrings.h"
#include "support/MachineProxy.h"
#include "support/RealLibrary.h"

using publish_test::CCannedServer;
using publish_test::CMessageBoxWatcher;
using publish_test::CRealLibrary;

using publish_test::CMachineProxy;

namespace {

const char kPassword[] = "s3cret-pw";

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

struct CListed {
    std::string strId, strXmlRpc;
};

std::string BlogList(const std::vector<CListed>& blogs)
{
    std::string xml = "<array><data>";
    for (const CListed& blog : blogs)
        xml += "<value><struct><member><name>blogid</name><value><string>" + blog.strId +
               "</string></value></member><member><name>blogName</name><value><string>Blog " + blog.strId +
               "</string></value></member><member><name>url</name><value><string>http://blog.example/" +
               blog.strId + "/</string></value></member><member><name>xmlrpc</name><value><string>" +
               blog.strXmlRpc + "</string></value></member></struct></value>";
    return CCannedServer::XmlRpcValue(xml + "</data></array>");
}

std::string Uploaded(const std::string& address)
{
    return CCannedServer::XmlRpcValue("<struct><member><name>url</name><value><string>" + address +
                                      "</string></value></member></struct>");
}

std::string Method(const publish_test::CSeenRequest& request)
{
    const std::size_t start = request.strBody.find("<methodName>");
    const std::size_t end = request.strBody.find("</methodName>");
    return start == std::string::npos || end == std::string::npos ? request.strMethod + " " + request.strPath
                                                                  : request.strBody.substr(start + 12, end - start - 12);
}

class BlogEndpoints : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testing_support::WriteFileBytes(m_strImage, "png")); }

    int Publish(const CRealLibrary& library, const std::string& blogId)
    {
        return library.Publish(1, "", "", m_strImage, "me", kPassword, blogId, "t", "%s %s", 0);
    }

    testing_support::CTestFolder m_folder{"img"};
    std::string m_strImage = m_folder.Path() + "capture.png";
};

}  // namespace

TEST_F(BlogEndpoints, UploadAndPostGoToTheChosenBlogsOwnAddress)
{
    CCannedServer network;
    const std::vector<CListed> blogs = {{"1", network.Url("/xmlrpc.php")}, {"2", network.Url("/site2/xmlrpc.php")}};
    network.Answer(BlogList(blogs));
    network.Answer(Uploaded(network.Url("/site2/up/capture.png")));
    network.Answer(CCannedServer::XmlRpcValue("<string>7</string>"));
    CRealLibrary library(network.Url("/xmlrpc.php"));
    CMessageBoxWatcher boxes;

    // The contract's list is as it was: no own address in it.
    const auto listed = library.GetBlogIds(1, "", "", "me", kPassword);
    EXPECT_EQ(listed.nStatus, S_OK);
    EXPECT_FALSE(Contains(listed.strXml, "xmlrpc")) << listed.strXml;
    EXPECT_TRUE(Contains(listed.strXml, "<BlogId>2</BlogId><BlogName>Blog 2</BlogName>")) << listed.strXml;
    EXPECT_EQ(Publish(library, "2"), 0);

    auto requests = network.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].strPath, "/xmlrpc.php");
    EXPECT_EQ(Method(requests[1]), "wp.uploadFile");
    EXPECT_EQ(requests[1].strPath, "/site2/xmlrpc.php");
    EXPECT_EQ(Method(requests[2]), "wp.newPost");
    EXPECT_EQ(requests[2].strPath, "/site2/xmlrpc.php");
    EXPECT_TRUE(Contains(requests[2].strBody, network.Url("/site2/up/capture.png")));

    // Loaded for the post alone, the library lists again to learn the address.
    CCannedServer again;
    CRealLibrary fresh(again.Url("/xmlrpc.php"));
    again.Answer(BlogList({{"1", again.Url("/xmlrpc.php")}, {"2", again.Url("/site2/xmlrpc.php")}}));
    again.Answer(Uploaded(again.Url("/site2/up/capture.png")));
    again.Answer(CCannedServer::XmlRpcValue("<string>8</string>"));
    again.Answer(BlogList({{"1", again.Url("/xmlrpc.php")}}));
    EXPECT_EQ(Publish(fresh, "2"), 0);
    // A blog the account's list does not hold is posted nowhere: at the
    // listed-from address it would land on another blog.
    EXPECT_EQ(Publish(fresh, "9"), kPublishFailed);
    requests = again.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(Method(requests[0]), "wp.getUsersBlogs");
    EXPECT_EQ(requests[1].strPath, "/site2/xmlrpc.php");
    EXPECT_EQ(requests[2].strPath, "/site2/xmlrpc.php");
    EXPECT_EQ(Method(requests[3]), "wp.getUsersBlogs");
    EXPECT_TRUE(boxes.Stop().empty());
}

TEST_F(BlogEndpoints, AnotherHostOrPortOnThisMachineGetsNothing)
{
    CCannedServer listing;
    CCannedServer otherHost("127.0.0.2");
    CCannedServer otherPort;
    listing.Answer(BlogList({{"2", otherHost.Url("/xmlrpc.php")}, {"3", otherPort.Url("/xmlrpc.php")}}));
    CRealLibrary library(listing.Url("/xmlrpc.php"));
    CMessageBoxWatcher boxes;

    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_OK);
    EXPECT_EQ(Publish(library, "2"), kPublishFailed);
    EXPECT_EQ(Publish(library, "3"), kPublishFailed);

    EXPECT_TRUE(otherHost.Requests().empty());
    EXPECT_TRUE(otherPort.Requests().empty());
    EXPECT_EQ(listing.Requests().size(), 1u) << "nothing was posted where the list came from";
    const auto texts = boxes.Stop();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(Contains(texts[0], otherHost.Url("/xmlrpc.php"))) << texts[0];
    EXPECT_TRUE(Contains(texts[1], otherPort.Url("/xmlrpc.php"))) << texts[1];
    for (const std::string& text : texts) {
        EXPECT_TRUE(Contains(text, listing.Url("/xmlrpc.php"))) << text;
        EXPECT_TRUE(Contains(text, "QTVPublish.ini")) << text;
        EXPECT_FALSE(Contains(text, kPassword)) << text;
    }
}

TEST_F(BlogEndpoints, AnEmptyListFromTheHostedServiceSaysWhereBusinessSitesAnswer)
{
    // The hosted service itself cannot be asked from here: the library's own
    // text is read from it as the message box would show it.
    CRealLibrary library("");
    ASSERT_TRUE(library.Loaded());
    char text[1024] = {};
    ASSERT_GT(::LoadStringA(library.Module(), IDS_PUBLISH_NO_HOSTED_BLOGS, text, sizeof text), 0);
    const std::string message = text;
    EXPECT_TRUE(Contains(message, "business plan")) << message;
    EXPECT_TRUE(Contains(message, "QTVPublish.ini")) << message;
    EXPECT_TRUE(Contains(message, "\n[WordPress]\nXmlRpcUrl=https://")) << message;
    EXPECT_TRUE(Contains(message, "log in again")) << message;
}

TEST_F(BlogEndpoints, LookAlikeAndPlainHttpHostsGetNothing)
{
    // The list comes from a host off this machine through the proxy, as the
    // hosted service's would; every request the library makes reaches the proxy.
    CCannedServer proxy;
    const CMachineProxy machine(L"127.0.0.1:" + std::to_wstring(proxy.Port()));
    ASSERT_TRUE(machine.IsSet());
    const std::vector<std::string> refused = {
        "https://wordpress.com.example/xmlrpc.php",
        "https://evilwordpress.com/xmlrpc.php",
        "http://name.wordpress.com/xmlrpc.php",
        "https://wordpress.com@evil.example/xmlrpc.php",
    };
    std::vector<CListed> blogs;
    for (std::size_t i = 0; i < refused.size(); ++i)
        blogs.push_back({std::to_string(10 + i), refused[i]});
    proxy.Answer(BlogList(blogs));
    CRealLibrary library("http://wordpress.com/xmlrpc.php");
    CMessageBoxWatcher boxes;

    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_OK);
    for (std::size_t i = 0; i < refused.size(); ++i)
        EXPECT_EQ(Publish(library, std::to_string(10 + i)), kPublishFailed) << refused[i];
    EXPECT_EQ(proxy.Requests().size(), 1u) << Method(proxy.Requests().back());
    const auto texts = boxes.Stop();
    ASSERT_EQ(texts.size(), refused.size());
    for (std::size_t i = 0; i < refused.size(); ++i)
        EXPECT_TRUE(Contains(texts[i], i == 3 ? "https://evil.example/xmlrpc.php" : refused[i])) << texts[i];
    EXPECT_TRUE(Contains(texts[2], "not secure")) << texts[2];
}
