// Where the log-in may go and how long a call may last, through the
// library's exports: redirects to another site are refused before anything
// is sent there, a server reading an upload slowly cannot hold the caller
// past the call's ceiling, and the machine's proxy is used when the user
// names none.
#include "support/CannedServer.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winhttp.h>

#include "platform/UniqueHandle.h"
#include "support/MachineProxy.h"
#include "support/RealLibrary.h"

using publish_test::CCannedServer;
using publish_test::CMessageBoxWatcher;
using publish_test::CRealLibrary;

using publish_test::CMachineProxy;

namespace {

const char kBlogs[] =
    "<array><data><value><struct><member><name>blogid</name><value><string>5</string></value></member>"
    "<member><name>blogName</name><value><string>Blog</string></value></member>"
    "<member><name>url</name><value><string>http://blog.example/</string></value></member>"
    "</struct></value></data></array>";

const char kPassword[] = "s3cret-pw";

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string Redirect(int status, const std::string& location)
{
    return CCannedServer::Http(status, "text/html", "moved", "Location: " + location + "\r\n");
}

}  // namespace

TEST(CallRedirects, AnotherSiteGetsNothingAndTheUserIsToldWhere)
{
    CCannedServer blog;
    CCannedServer collector;
    collector.Answer(CCannedServer::XmlRpcValue(kBlogs));
    CRealLibrary library(blog.Url("/xmlrpc.php"));
    // Another port on the same host is another site, as is any other host.
    blog.Answer(Redirect(307, collector.Url("/collect")));
    blog.Answer(Redirect(301, "http://other.example/xmlrpc.php"));
    blog.Answer(Redirect(308, "file:///C:/windows/win.ini"));

    CMessageBoxWatcher boxes;
    for (int i = 0; i < 3; ++i) {
        const auto listed = library.GetBlogIds(1, "", "", "me", kPassword);
        EXPECT_EQ(listed.nStatus, S_FALSE) << i;
        EXPECT_EQ(listed.strXml, "<Blogs></Blogs>") << i;
    }
    testing_support::CTestFolder folder("img");
    const std::string image = folder.Path() + "capture.png";
    ASSERT_TRUE(testing_support::WriteFileBytes(image, "png"));
    blog.Answer(Redirect(302, collector.Url("/collect")));
    EXPECT_EQ(library.Publish(1, "", "", image, "me", kPassword, "1", "t", "%s %s", 0), kPublishFailed);

    EXPECT_TRUE(collector.Requests().empty()) << "the other site received " << collector.Requests()[0].strBody;
    const std::vector<std::string> texts = boxes.Stop();
    ASSERT_EQ(texts.size(), 3u) << "publishing shows no window";
    EXPECT_TRUE(Contains(texts[0], collector.Url("/collect"))) << texts[0];
    EXPECT_TRUE(Contains(texts[1], "http://other.example/xmlrpc.php")) << texts[1];
    EXPECT_TRUE(Contains(texts[2], "file:///C:/windows/win.ini")) << texts[2];
    for (const std::string& text : texts) {
        EXPECT_TRUE(Contains(text, blog.Url("/xmlrpc.php"))) << text;
        EXPECT_FALSE(Contains(text, kPassword)) << text;
    }
    EXPECT_EQ(blog.Requests().size(), 4u);
}

TEST(CallRedirects, SameSiteTargetsReadByThePlatformAndSeeOtherBecomesAGet)
{
    CCannedServer blog;
    CRealLibrary library(blog.Url("/dir/xmlrpc.php"));
    // Relative to the answered folder; a query that holds an address is
    // still a path on this site; 303 fetches the answer instead of posting.
    blog.Answer(Redirect(307, "next.php"));
    blog.Answer(Redirect(307, "/x?to=http://other.example/&y=1"));
    blog.Answer(Redirect(303, "/answer#part"));
    blog.Answer(CCannedServer::XmlRpcValue(kBlogs));

    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_OK);
    const auto requests = blog.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[1].strPath, "/dir/next.php");
    EXPECT_EQ(requests[1].strMethod, "POST");
    EXPECT_EQ(requests[1].strBody, requests[0].strBody);
    EXPECT_EQ(requests[2].strPath, "/x?to=http://other.example/&y=1");
    EXPECT_EQ(requests[2].strBody, requests[0].strBody);
    EXPECT_EQ(requests[3].strMethod, "GET");
    EXPECT_EQ(requests[3].strPath, "/answer");
    EXPECT_EQ(requests[3].strBody, "");
}

TEST(CallDeadline, ServerReadingOneByteASecondCannotHoldTheCall)
{
    // 24 MB of image, about 32 MB of call: far more than any socket buffers.
    testing_support::CTestFolder folder("img");
    const std::string image = folder.Path() + "capture.png";
    std::string bytes(24u << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 + (i >> 11));
    ASSERT_TRUE(testing_support::WriteFileBytes(image, bytes));
    bytes.clear();

    // The blog list is answered, so the time goes to the upload.
    publish_test::CSlowReader slow(CCannedServer::XmlRpcValue(kBlogs));
    CRealLibrary library(slow.Url("/xmlrpc.php"), "[Limits]\r\nCallSeconds=6\r\n");
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(library.Publish(1, "", "", image, "me", kPassword, "5", "t", "%s %s", 0), kPublishFailed);
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    std::printf("slow reader: result 1 after %llu ms, %zu bytes read\n", static_cast<unsigned long long>(elapsed),
                slow.BytesRead());
    EXPECT_LT(elapsed, 9000u) << "the call's ceiling is 6 s";
    EXPECT_GT(slow.BytesRead(), 0u) << "the upload began";
}


TEST(CallProxy, MachineProxyWhenTheUserNamesNone)
{
    CCannedServer proxy;
    const CMachineProxy machine(L"127.0.0.1:" + std::to_wstring(proxy.Port()));
    ASSERT_TRUE(machine.IsSet());
    proxy.Answer(CCannedServer::XmlRpcValue(kBlogs));
    proxy.Answer(CCannedServer::XmlRpcValue(
        "<struct><member><name>url</name><value>http://blog.example/a.png</value></member></struct>"));
    proxy.Answer(CCannedServer::XmlRpcValue("<string>42</string>"));
    CRealLibrary library("http://blog.example/xmlrpc.php");
    CMessageBoxWatcher boxes;

    ULONGLONG start = ::GetTickCount64();
    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_OK);
    std::printf("GetBlogIDs through the machine proxy: %llu ms\n",
                static_cast<unsigned long long>(::GetTickCount64() - start));
    testing_support::CTestFolder folder("img");
    const std::string image = folder.Path() + "capture.png";
    ASSERT_TRUE(testing_support::WriteFileBytes(image, "png"));
    start = ::GetTickCount64();
    EXPECT_EQ(library.Publish(1, "", "", image, "me", kPassword, "5", "t", "%s %s", 0), 0);
    std::printf("PublishToBlogNoGUI through the machine proxy: %llu ms\n",
                static_cast<unsigned long long>(::GetTickCount64() - start));

    const auto texts = boxes.Stop();
    EXPECT_TRUE(texts.empty()) << texts[0];
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& request : requests) {
        // The absolute form a proxy is sent; some clients write the default port.
        EXPECT_TRUE(request.strPath == "http://blog.example/xmlrpc.php" ||
                    request.strPath == "http://blog.example:80/xmlrpc.php")
            << request.strPath;
        EXPECT_TRUE(Contains(request.strHeaders, "Host: blog.example")) << request.strHeaders;
    }
}

TEST(CallProxy, RestLogInNeverTravelsInClear)
{
    // A blog that is not this machine's, reached through the proxy, blocks
    // XML-RPC and names a plain-http REST API: the API is read, the log-in not sent.
    CCannedServer proxy;
    const CMachineProxy machine(L"127.0.0.1:" + std::to_wstring(proxy.Port()));
    ASSERT_TRUE(machine.IsSet());
    proxy.Answer(CCannedServer::Http(403, "text/html", "<html>Forbidden</html>"));
    proxy.Answer(CCannedServer::Http(200, "text/html", "<html>blog</html>",
                                     "Link: <http://blog.example/wp-json/>; rel=\"https://api.w.org/\"\r\n"));
    proxy.Answer(CCannedServer::Http(200, "application/json",
                                     "{\"name\":\"B\",\"home\":\"http://blog.example\",\"namespaces\":[\"wp/v2\"]}"));
    CRealLibrary library("http://blog.example/xmlrpc.php");
    CMessageBoxWatcher boxes;
    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_FALSE);
    const auto texts = boxes.Stop();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(Contains(texts[0], "https://")) << texts[0];
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const auto& request : requests)
        EXPECT_FALSE(Contains(request.strHeaders, "Authorization")) << request.strPath;
}

namespace {

// The user's proxy settings for the test's life: a configuration script at
// scriptUrl, as the Internet options' "Use automatic configuration script"
// stores it. The earlier settings are put back afterwards.
class CUserProxyScript {
public:
    explicit CUserProxyScript(const std::string& scriptUrl)
    {
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, m_key.Put(),
                              nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        m_bHadOld = ::RegQueryValueExA(m_key.Get(), kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
        if (m_bHadOld) {
            m_old.resize(size);
            ::RegQueryValueExA(m_key.Get(), kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&m_old[0]), &size);
        }
        // Header (version 0x46, a counter, flags: direct and script), then
        // the proxy, the bypass list and the script's address, each counted.
        std::string blob;
        const auto add = [&blob](DWORD value) { blob.append(reinterpret_cast<const char*>(&value), sizeof value); };
        add(0x46);
        add(1);
        add(0x1 | 0x4);
        add(0);
        add(0);
        add(static_cast<DWORD>(scriptUrl.size()));
        blob += scriptUrl;
        m_bSet = ::RegSetValueExA(m_key.Get(), kValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(blob.data()),
                                  static_cast<DWORD>(blob.size())) == ERROR_SUCCESS;
    }
    ~CUserProxyScript()
    {
        if (!m_key)
            return;
        if (m_bHadOld)
            ::RegSetValueExA(m_key.Get(), kValue, 0, REG_BINARY, reinterpret_cast<const BYTE*>(m_old.data()),
                             static_cast<DWORD>(m_old.size()));
        else
            ::RegDeleteValueA(m_key.Get(), kValue);
    }
    bool IsSet() const { return m_bSet; }

private:
    static constexpr char kKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
    static constexpr char kValue[] = "DefaultConnectionSettings";
    platform::CRegKey m_key;
    std::string m_old;
    bool m_bHadOld = false;
    bool m_bSet = false;
};

}  // namespace

TEST(CallProxy, UserScriptDecidesAndIsFetchedWithoutCredentials)
{
    CCannedServer proxy;
    CCannedServer scripts;
    const std::string script = "function FindProxyForURL(url, host) { return \"PROXY 127.0.0.1:" +
                               std::to_string(proxy.Port()) + "\"; }";
    for (int i = 0; i < 4; ++i)
        scripts.Answer(CCannedServer::Http(200, "application/x-ns-proxy-autoconfig", script));
    const CUserProxyScript user(scripts.Url("/proxy.pac"));
    ASSERT_TRUE(user.IsSet());
    proxy.Answer(CCannedServer::XmlRpcValue(kBlogs));
    proxy.Answer(CCannedServer::XmlRpcValue(
        "<struct><member><name>url</name><value>http://blog.example/a.png</value></member></struct>"));
    proxy.Answer(CCannedServer::XmlRpcValue("<string>42</string>"));
    CRealLibrary library("http://blog.example/xmlrpc.php");
    CMessageBoxWatcher boxes;

    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_OK);
    testing_support::CTestFolder folder("img");
    const std::string image = folder.Path() + "capture.png";
    ASSERT_TRUE(testing_support::WriteFileBytes(image, "png"));
    EXPECT_EQ(library.Publish(1, "", "", image, "me", kPassword, "5", "t", "%s %s", 0), 0);

    const auto texts = boxes.Stop();
    EXPECT_TRUE(texts.empty()) << texts[0];
    EXPECT_EQ(proxy.Requests().size(), 3u) << "every call went through the script's proxy";
    const auto fetches = scripts.Requests();
    // At most one look-up per export call; the platform may keep a script it fetched.
    EXPECT_GE(fetches.size(), 1u);
    EXPECT_LE(fetches.size(), 2u);
    for (const auto& fetch : fetches)
        EXPECT_FALSE(Contains(fetch.strHeaders, "Authorization")) << fetch.strHeaders;
}

TEST(CallProxy, ScriptServerThatAsksForALogInIsFirstAskedWithout)
{
    // Windows credentials go to a configuration script's server only once it
    // refused without them; a look-up that fails leaves the call direct.
    CCannedServer scripts;
    scripts.Answer(CCannedServer::Http(401, "text/html", "<html>log in</html>",
                                       "WWW-Authenticate: Negotiate\r\nWWW-Authenticate: NTLM\r\n"));
    const CUserProxyScript user(scripts.Url("/guarded.pac"));
    ASSERT_TRUE(user.IsSet());
    CRealLibrary library("http://blog.example/xmlrpc.php");
    CMessageBoxWatcher boxes;
    EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_FALSE);
    EXPECT_EQ(boxes.Stop().size(), 1u) << "blog.example cannot be reached directly";
    const auto fetches = scripts.Requests();
    ASSERT_GE(fetches.size(), 1u);
    EXPECT_FALSE(Contains(fetches[0].strHeaders, "Authorization")) << fetches[0].strHeaders;
}

TEST(CallProxy, ProxyLogInIsTheWindowsLogOnOnlyAndNeverBasic)
{
    // A proxy that wants Basic gets nothing but the one request without a
    // log-in; the user is told that the proxy asks for one.
    {
        CCannedServer proxy;
        const CMachineProxy machine(L"127.0.0.1:" + std::to_wstring(proxy.Port()));
        ASSERT_TRUE(machine.IsSet());
        proxy.Answer(CCannedServer::Http(407, "text/html", "<html>log in</html>",
                                         "Proxy-Authenticate: Basic realm=\"office\"\r\n"));
        proxy.Answer(CCannedServer::Http(407, "text/html", "<html>log in</html>",
                                         "Proxy-Authenticate: Basic realm=\"office\"\r\n"));
        CRealLibrary library("http://blog.example/xmlrpc.php");
        CMessageBoxWatcher boxes;
        EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_FALSE);
        const auto texts = boxes.Stop();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_TRUE(Contains(texts[0], "proxy server")) << texts[0];
        EXPECT_TRUE(Contains(texts[0], "http://blog.example/xmlrpc.php")) << texts[0];
        const auto requests = proxy.Requests();
        EXPECT_EQ(requests.size(), 1u);
        for (const auto& request : requests)
            EXPECT_FALSE(Contains(request.strHeaders, "Proxy-Authorization")) << request.strHeaders;
    }
    // A proxy that takes Negotiate or NTLM is asked again with the Windows
    // log-on, as far as the platform can give one; Basic is never among what it sees.
    {
        CCannedServer proxy;
        const CMachineProxy machine(L"127.0.0.1:" + std::to_wstring(proxy.Port()));
        ASSERT_TRUE(machine.IsSet());
        const std::string challenge =
            "Proxy-Authenticate: Negotiate\r\nProxy-Authenticate: NTLM\r\nProxy-Authenticate: Basic realm=\"office\"\r\n";
        for (int i = 0; i < 4; ++i)
            proxy.Answer(CCannedServer::Http(407, "text/html", "<html>log in</html>", challenge));
        CRealLibrary library("http://blog.example/xmlrpc.php");
        CMessageBoxWatcher boxes;
        EXPECT_EQ(library.GetBlogIds(1, "", "", "me", kPassword).nStatus, S_FALSE);
        const auto texts = boxes.Stop();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_TRUE(Contains(texts[0], "proxy server")) << texts[0];
        const auto requests = proxy.Requests();
        std::printf("a proxy asking for Negotiate or NTLM got %zu requests\n", requests.size());
        ASSERT_GE(requests.size(), 2u) << "asked again after the 407";
        EXPECT_FALSE(Contains(requests[0].strHeaders, "Proxy-Authorization")) << requests[0].strHeaders;
        for (const auto& request : requests) {
            // What the platform offered, for the record (Wine without winbind's helper offers nothing).
            const std::size_t at = request.strHeaders.find("Proxy-Authorization: ");
            std::printf("  %s\n", at == std::string::npos ? "(no Proxy-Authorization)"
                                                          : request.strHeaders.substr(at, 40).c_str());
            EXPECT_FALSE(Contains(request.strHeaders, "Proxy-Authorization: Basic")) << request.strHeaders;
        }
    }
}
