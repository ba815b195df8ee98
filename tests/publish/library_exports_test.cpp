// The library's exports against a canned server on loopback: the result
// codes the accessory relies on, what reaches the server, and that every
// failure ends, and ends in time.
#include <gtest/gtest.h>

#include "support/CannedServer.h"
#include "support/RealLibrary.h"

using publish_test::CCannedServer;
using publish_test::CMessageBoxWatcher;
using publish_test::CRealLibrary;

namespace {

const char kBlogs[] =
    "<array><data><value><struct><member><name>blogid</name><value><string>5</string></value></member>"
    "<member><name>blogName</name><value><string>Fish &amp; Chips</string></value></member>"
    "<member><name>url</name><value><string>http://blog.example/</string></value></member>"
    "</struct></value></data></array>";

const char kPassword[] = "s3cret-pw";

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(LibraryBlogList, ListRefusalAndFailuresThatAreNoRefusal)
{
    CCannedServer server;
    CRealLibrary library(server.Url("/xmlrpc.php"));
    ASSERT_TRUE(library.Loaded());
    server.Answer(CCannedServer::XmlRpcValue(kBlogs));
    server.Answer(CCannedServer::XmlRpcFault(403, "Incorrect username or password."));
    server.Answer(CCannedServer::XmlRpcFault(405, "XML-RPC services are disabled on this site."));
    // XML-RPC switched off sends the library looking for the site's REST API:
    // a front page without the API's link, then no API where WordPress keeps it.
    server.Answer(CCannedServer::Http(200, "text/html", "<html>front page</html>"));
    server.Answer(CCannedServer::Http(404, "text/html", "<html>not found</html>"));
    server.Answer(CCannedServer::Http(200, "text/html", "<!DOCTYPE html><html><body>Blocked</body></html>"));
    server.Answer(CCannedServer::XmlRpcFault(-32601, "server error. requested method does not exist."));

    CMessageBoxWatcher boxes;
    const auto listed = library.GetBlogIds(1, "ignored", "ignored", "me", kPassword);
    EXPECT_EQ(listed.nStatus, S_OK);
    EXPECT_EQ(listed.strXml, "<Blogs><Blog_Object><BlogId>5</BlogId><BlogName>Fish &amp; Chips</BlogName>"
                             "<BlogAddress>http://blog.example/</BlogAddress></Blog_Object></Blogs>");
    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", "wrong").nStatus, static_cast<long>(E_FAIL));
    for (int i = 0; i < 3; ++i) {
        const auto failed = library.GetBlogIds(1, "", "", "me", kPassword);
        EXPECT_EQ(failed.nStatus, S_FALSE) << i;
        EXPECT_EQ(failed.strXml, "<Blogs></Blogs>") << i;
    }
    const std::vector<std::string> texts = boxes.Stop();
    ASSERT_EQ(texts.size(), 3u) << "one message for each failure that is not a refused log-in";
    EXPECT_TRUE(Contains(texts[0], "switched off")) << texts[0];
    EXPECT_TRUE(Contains(texts[1], "web page")) << texts[1];
    EXPECT_TRUE(Contains(texts[2], "requested method does not exist")) << texts[2];
    for (const std::string& text : texts) {
        EXPECT_TRUE(Contains(text, server.Url("/xmlrpc.php"))) << text;
        EXPECT_FALSE(Contains(text, kPassword)) << text;
    }

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0].strMethod, "POST");
    EXPECT_EQ(requests[0].strPath, "/xmlrpc.php");
    EXPECT_TRUE(Contains(requests[0].strBody, "<methodName>wp.getUsersBlogs</methodName>"));
    EXPECT_TRUE(Contains(requests[0].strBody, "<string>me</string>"));
}

TEST(LibraryBlogList, SelfHostedTypeTalksMetaWeblogAtServerAndEndpoint)
{
    CCannedServer server;
    CRealLibrary library("");
    server.Answer(CCannedServer::XmlRpcValue(kBlogs));
    const auto listed =
        library.GetBlogIds(2, "127.0.0.1:" + std::to_string(server.Port()), "mt/mt-xmlrpc.cgi", "me", kPassword);
    EXPECT_EQ(listed.nStatus, S_OK);
    EXPECT_TRUE(Contains(listed.strXml, "<BlogId>5</BlogId>"));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].strPath, "/mt/mt-xmlrpc.cgi");
    EXPECT_TRUE(Contains(requests[0].strBody, "<methodName>blogger.getUsersBlogs</methodName>"));

    // Types the library does not serve answer at once, without a request.
    for (const int type : {0, 3}) {
        const auto none = library.GetBlogIds(type, "127.0.0.1", "/x", "me", kPassword);
        EXPECT_EQ(none.nStatus, S_FALSE);
        EXPECT_EQ(none.strXml, "<Blogs></Blogs>");
        EXPECT_EQ(library.Publish(type, "127.0.0.1", "/x", "C:\\none.png", "me", kPassword, "1", "t", "%s%s", 0),
                  kPublishFailed);
    }
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(LibraryBlogList, RedirectedCallIsPostedAgainAndBufferIsNeverOverrun)
{
    CCannedServer server;
    CRealLibrary library(server.Url("/old/xmlrpc.php"));
    server.Answer(CCannedServer::Http(301, "text/html", "moved", "Location: " + server.Url("/new/xmlrpc.php") + "\r\n"));
    server.Answer(CCannedServer::Http(307, "text/html", "moved", "Location: /newer/xmlrpc.php\r\n"));
    server.Answer(CCannedServer::XmlRpcValue(kBlogs));
    server.Answer(CCannedServer::XmlRpcValue(kBlogs));

    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_OK);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].strMethod, "POST");
    EXPECT_EQ(requests[2].strPath, "/newer/xmlrpc.php");
    EXPECT_EQ(requests[2].strBody, requests[0].strBody);

    // A buffer too small for the blog keeps an empty, well-formed list, and
    // not one byte is written past capacity plus the NUL.
    std::string buffer(64, '#');
    EXPECT_EQ(library.GetBlogIdsFunction()(1, "", "", "me", kPassword, &buffer[0], 40), S_OK);
    EXPECT_STREQ(buffer.c_str(), "<Blogs></Blogs>");
    EXPECT_EQ(buffer.substr(41), std::string(23, '#'));
}

TEST(LibraryPublish, UploadThenPostWithTheAddressInBothPlaces)
{
    testing_support::CTestFolder folder("img");
    const std::string image = folder.Path() + "WordPressExt1.png";
    ASSERT_TRUE(testing_support::WriteFileBytes(image, std::string("\x89PNG\r\n\x1a\n\0\x01\x02", 11)));
    CCannedServer server;
    CRealLibrary library(server.Url("/xmlrpc.php"));
    // A library loaded for the post alone lists the blogs first, to learn where blog 5 answers.
    server.Answer(CCannedServer::XmlRpcValue(kBlogs));
    server.Answer(CCannedServer::XmlRpcValue(
        "<struct><member><name>url</name><value><string>http://blog.example/up/a.png?v=1&amp;w=2</string></value>"
        "</member></struct>"));
    server.Answer(CCannedServer::XmlRpcValue("<string>42</string>"));

    EXPECT_EQ(library.Publish(1, "", "", image, "me", kPassword, "5", "Title <1>",
                              "<a href=\"%s\"><img src = \"%s\" /></a>50&#37;", 1, "http://blog.example/"),
              0);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(Contains(requests[0].strBody, "<methodName>wp.getUsersBlogs</methodName>"));
    const std::string& upload = requests[1].strBody;
    EXPECT_TRUE(Contains(upload, "<methodName>wp.uploadFile</methodName>"));
    EXPECT_TRUE(Contains(upload, "<name>name</name><value><string>WordPressExt1.png</string>"));
    EXPECT_TRUE(Contains(upload, "<name>type</name><value><string>image/png</string>"));
    EXPECT_TRUE(Contains(upload, "<base64>iVBORw0KGgoAAQI=</base64>"));
    const std::string& post = requests[2].strBody;
    EXPECT_TRUE(Contains(post, "<methodName>wp.newPost</methodName>"));
    EXPECT_TRUE(Contains(post, "<param><value><string>5</string></value></param>"));
    EXPECT_TRUE(Contains(post, "<name>post_status</name><value><string>draft</string>"));
    EXPECT_TRUE(Contains(post, "<name>post_title</name><value><string>Title &lt;1&gt;</string>"));
    // The address is HTML-escaped for the attribute, then XML-escaped for the call.
    EXPECT_EQ(Count(post, "http://blog.example/up/a.png?v=1&amp;amp;w=2"), 2u);
    EXPECT_FALSE(Contains(post, "%s"));
    EXPECT_TRUE(Contains(post, "50&amp;#37;"));
}

TEST(LibraryPublish, EveryFailureIsResultOne)
{
    testing_support::CTestFolder folder("img");
    const std::string image = folder.Path() + "capture.jpg";
    ASSERT_TRUE(testing_support::WriteFileBytes(image, "jpegbytes"));
    CCannedServer server;
    CRealLibrary library(server.Url("/xmlrpc.php"));
    server.Answer(CCannedServer::XmlRpcValue(kBlogs));
    server.Answer(CCannedServer::XmlRpcFault(401, "Sorry, you are not allowed to upload files."));
    server.Answer(CCannedServer::XmlRpcValue("<struct><member><name>file</name><value>a.jpg</value></member></struct>"));
    server.Answer(CCannedServer::XmlRpcValue("<struct><member><name>url</name><value>http://x/a.jpg</value></member>"
                                             "</struct>"));
    server.Answer(CCannedServer::XmlRpcFault(500, "Sorry, your entry could not be posted."));
    server.Answer(CCannedServer::Http(200, "text/html", "<html>login page</html>"));

    CMessageBoxWatcher boxes;
    const auto publish = [&](const std::string& path) {
        return library.Publish(1, "", "", path, "me", kPassword, "5", "t", "%s %s", 0);
    };
    EXPECT_EQ(publish(image), kPublishFailed) << "upload refused";
    EXPECT_EQ(publish(image), kPublishFailed) << "upload answer without an address";
    EXPECT_EQ(publish(image), kPublishFailed) << "post refused";
    EXPECT_EQ(publish(image), kPublishFailed) << "web page instead of an answer";
    const std::size_t calls = server.Requests().size();
    EXPECT_EQ(publish(folder.Path() + "missing.png"), kPublishFailed);
    EXPECT_EQ(library.Publish(2, "", "", image, "me", kPassword, "1", "t", "%s %s", 0), kPublishFailed)
        << "no server for a self-hosted blog";
    EXPECT_EQ(server.Requests().size(), calls) << "nothing is sent without an image or an address";
    EXPECT_TRUE(boxes.Stop().empty()) << "publishing never shows a window";
}

TEST(LibraryTimeouts, UnreachableAndSilentServersEndInTime)
{
    testing_support::CTestFolder folder("img");
    const std::string image = folder.Path() + "capture.png";
    ASSERT_TRUE(testing_support::WriteFileBytes(image, "png"));
    const std::string closed = "http://127.0.0.1:" + std::to_string(publish_test::ClosedPort()) + "/xmlrpc.php";
    CRealLibrary refused(closed);

    ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(refused.Publish(1, "", "", image, "me", kPassword, "1", "t", "%s %s", 0), kPublishFailed);
    EXPECT_LT(::GetTickCount64() - start, 20000u);
    {
        CMessageBoxWatcher boxes;
        const auto listed = refused.GetBlogIds(1, "", "", "me", kPassword);
        EXPECT_EQ(listed.nStatus, S_FALSE);
        EXPECT_EQ(listed.strXml, "<Blogs></Blogs>");
        const auto texts = boxes.Stop();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_TRUE(Contains(texts[0], "could not be reached")) << texts[0];
    }

    // A server that takes the request and never answers: the receive
    // time-out (30 s) ends the call.
    CCannedServer silent;
    silent.Answer(CCannedServer::kHang);
    CRealLibrary stuck(silent.Url("/xmlrpc.php"));
    start = ::GetTickCount64();
    EXPECT_EQ(stuck.Publish(1, "", "", image, "me", kPassword, "1", "t", "%s %s", 0), kPublishFailed);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    std::printf("silent server: result after %llu ms\n", static_cast<unsigned long long>(elapsed));
    EXPECT_GE(elapsed, 25000u);
    EXPECT_LT(elapsed, 45000u);
}
