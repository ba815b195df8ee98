// The real library and qtvpost against the local WordPress's TLS front
// (scripts/wordpress/tls-front.sh): one https port per test certificate, the
// test authority trusted in this prefix by the wordpress_tls fixture. A post
// is read back over plain XML-RPC on loopback; what reached WordPress through
// the front is read from stunnel's log.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "platform/UniqueHandle.h"
#include "qtvpublish/real/Utf8.h"
#include "qtvpublish/real/XmlRpcClient.h"
#include "support/RealLibrary.h"
#include "support/UiDriver.h"

using publish_test::CRealLibrary;
using publish_test::EnvValue;
using qtvpublish::CXmlRpcValue;

namespace {

const char kBody[] = "<a href=\"%s\"><img src = \"%s\" height=\"240\" width=\"320\" /></a><p>Sent over https.</p>";

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string Front(const char* service)
{
    return EnvValue(WP_ENV_FILE, std::string("WP_TLS_") + service);
}

// What stunnel's log says about one service's connections after a given
// point of the log: how many were accepted, how many have ended, and the
// bytes it passed on to WordPress.
struct CFrontTraffic {
    int nAccepted = 0;
    int nEnded = 0;
    int nRefusedHandshakes = 0;  // e.g. plain http sent to the TLS port
    long long nBytesToServer = 0;
};

class CFrontLog {
public:
    CFrontLog() : m_strPath(publish_test::WindowsPath(EnvValue(WP_ENV_FILE, "WP_TLS_LOG")))
    {
        m_nStart = testing_support::ReadFileBytes(m_strPath).size();
    }

    CFrontTraffic Traffic(const std::string& service) const
    {
        const std::string text = testing_support::ReadFileBytes(m_strPath);
        std::map<std::string, bool> ours;  // connection number -> ended
        CFrontTraffic traffic;
        static const std::regex accepted(R"(\[(\d+)\]: Service \[([a-z]+)\] accepted connection)");
        static const std::regex refused(R"(\[(\d+)\]: SSL_accept: )");
        static const std::regex ended(R"(\[(\d+)\]: Connection (?:reset|closed|reset/closed): \d+ byte\(s\) sent to TLS, (\d+) byte\(s\) sent to socket)");
        std::size_t at = m_nStart < text.size() ? m_nStart : text.size();
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(at, end - at);
            at = end + 1;
            std::smatch match;
            if (std::regex_search(line, match, accepted) && match[2] == service) {
                ours[match[1]] = false;
                ++traffic.nAccepted;
            } else if (std::regex_search(line, match, refused) && ours.count(match[1])) {
                ++traffic.nRefusedHandshakes;
            } else if (std::regex_search(line, match, ended) && ours.count(match[1]) && !ours[match[1]]) {
                ours[match[1]] = true;
                ++traffic.nEnded;
                traffic.nBytesToServer += std::stoll(match[2]);
            }
        }
        return traffic;
    }

    // Once every connection the service took has ended (the log lags the client).
    CFrontTraffic Settled(const std::string& service) const
    {
        CFrontTraffic traffic;
        ui::WaitFor([&] {
            traffic = Traffic(service);
            return traffic.nAccepted > 0 && traffic.nEnded == traffic.nAccepted;
        }, 10000);
        return traffic;
    }

private:
    std::string m_strPath;
    std::size_t m_nStart = 0;
};

struct CProcessResult {
    DWORD dwExitCode = 0xFFFFFFFF;
    std::string strOutput;  // stdout and stderr together
};

// qtvpost, copied beside a private copy of the library, run with arguments.
CProcessResult RunQtvPost(const CRealLibrary& library, const std::string& arguments)
{
    CProcessResult result;
    const std::string exe = library.Folder() + "qtvpost.exe";
    const std::string output = library.Folder() + "qtvpost.out";
    if (!::CopyFileA(WP_REAL_LIBRARY_DIR "qtvpost.exe", exe.c_str(), FALSE))
        return result;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    {
        platform::CFileHandle out(::CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out)
            return result;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out.Get();
        startup.hStdError = out.Get();
        std::string command = "\"" + exe + "\" " + arguments;
        PROCESS_INFORMATION process = {};
        if (!::CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                              library.Folder().c_str(), &startup, &process))
            return result;
        platform::CHandle hProcess(process.hProcess);
        platform::CHandle hThread(process.hThread);
        if (::WaitForSingleObject(hProcess.Get(), 90000) != WAIT_OBJECT_0)
            ::TerminateProcess(hProcess.Get(), 0xFFFFFFFF);
        ::GetExitCodeProcess(hProcess.Get(), &result.dwExitCode);
    }
    result.strOutput = testing_support::ReadFileBytes(output);
    return result;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

class WordPressTlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_strXmlRpc.empty()) << "no local WordPress: " << WP_ENV_FILE;
        ASSERT_FALSE(Front("GOOD").empty()) << "the local WordPress has no TLS front: " << WP_ENV_FILE;
    }

    // The post with this title among the newest, as WordPress stored it.
    CXmlRpcValue FindPost(const std::string& title) const
    {
        const qtvpublish::CXmlRpcClient client(m_strXmlRpc);
        qtvpublish::CXmlRpcRequest request("wp.getPosts");
        request.String("1").String(m_strUser).String(m_strPassword);
        request.BeginStruct().Member("number").Int(50).Member("post_status").String("any").EndStruct();
        const qtvpublish::CCallResult posts = client.Call(request);
        EXPECT_TRUE(posts.IsValue()) << posts.m_strFault;
        for (const CXmlRpcValue& post : posts.m_value.m_items)
            if (qtvpublish::AnsiFromWideText(post.Text(L"post_title")) == title)
                return post;
        return CXmlRpcValue();
    }

    std::string Content(const std::string& title) const
    {
        return qtvpublish::AnsiFromWideText(FindPost(title).Text(L"post_content"));
    }

    // Lists the blogs through a library expected to refuse; the message it
    // showed is answered and returned.
    std::string ListRefused(CRealLibrary& library) const
    {
        std::string message;
        ui::CUserScript script([&] { message = ui::AnswerMessageBox(IDOK, 20000); });
        const auto listed = library.GetBlogIds(1, "", "", m_strUser, m_strPassword);
        script.Join();
        EXPECT_EQ(listed.strXml, "<Blogs></Blogs>");
        return message;
    }

    std::string Title(const char* what) const { return std::string(what) + " " + std::to_string(::GetTickCount64()); }

    std::string Png()
    {
        const std::string path = m_images.Path() + "Tls" + std::to_string(++m_nImages) + ".png";
        EXPECT_TRUE(publish_test::WritePng(path, 640, 480));
        return path;
    }

    std::string m_strXmlRpc = EnvValue(WP_ENV_FILE, "WP_XMLRPC");
    std::string m_strUser = EnvValue(WP_ENV_FILE, "WP_USER");
    std::string m_strPassword = EnvValue(WP_ENV_FILE, "WP_PASSWORD");
    testing_support::CTestFolder m_images{"tls"};
    int m_nImages = 0;
};

using WordPressTlsPosts = WordPressTlsTest;
using WordPressTlsCertificates = WordPressTlsTest;
using WordPressTlsRedirects = WordPressTlsTest;

}  // namespace

TEST_F(WordPressTlsPosts, ListedAndPostedOverHttpsThroughTheLibraryAndQtvpost)
{
    const std::string site = Front("GOOD");
    CRealLibrary library(site + "/xmlrpc.php");
    ASSERT_TRUE(library.Loaded());
    const CFrontLog log;
    // A message box here is a failure, not a wait.
    const ui::CDialogCanceller boxes;

    const auto listed = library.GetBlogIds(1, "", "", m_strUser, m_strPassword);
    EXPECT_EQ(listed.nStatus, S_OK);
    // WordPress behind the front names its https address, so the post goes there too.
    EXPECT_TRUE(Contains(listed.strXml, "<BlogAddress>" + site + "/</BlogAddress>")) << listed.strXml;

    const std::string title = Title("Over https");
    EXPECT_EQ(library.Publish(1, "", "", Png(), m_strUser, m_strPassword, "1", title, kBody, 0, site + "/"), 0);
    const std::string content = Content(title);
    EXPECT_TRUE(Contains(content, "<img src = \"" + site + "/wp-content/uploads/")) << content;
    EXPECT_TRUE(Contains(content, "Sent over https.")) << content;

    const CProcessResult list = RunQtvPost(library, "list " + m_strUser + " " + Quoted(m_strPassword));
    EXPECT_EQ(list.dwExitCode, 0u) << list.strOutput;
    EXPECT_TRUE(Contains(list.strOutput, site + "/")) << list.strOutput;
    const std::string toolTitle = Title("qtvpost over https");
    const CProcessResult post = RunQtvPost(library, "post " + m_strUser + " " + Quoted(m_strPassword) + " " +
                                                        Quoted(Png()) + " " + Quoted(toolTitle) + " " +
                                                        Quoted("<img src=%s alt=%s />"));
    EXPECT_EQ(post.dwExitCode, 0u) << post.strOutput;
    EXPECT_TRUE(Contains(Content(toolTitle), site + "/wp-content/uploads/")) << post.strOutput;

    // The log is read the way the refusals below read it: here it must show the posts.
    EXPECT_GT(log.Settled("good").nBytesToServer, 640 * 480 / 100);
    EXPECT_TRUE(boxes.Cancelled().empty()) << boxes.Cancelled().front();
}

TEST_F(WordPressTlsCertificates, EachBadCertificateRefusedWithItsMessageAndNothingSent)
{
    struct CCase {
        const char* szService;
        const char* szFault;
    };
    const CCase cases[] = {{"WRONGNAME", "issued for another name"},
                           {"EXPIRED", "has expired"},
                           {"UNKNOWNCA", "is not trusted"},
                           {"REVOKED", "has been revoked"}};
    for (const CCase& bad : cases) {
        SCOPED_TRACE(bad.szService);
        const std::string site = Front(bad.szService);
        CRealLibrary library(site + "/xmlrpc.php");
        ASSERT_TRUE(library.Loaded());
        const CFrontLog log;

        const std::string message = ListRefused(library);
        EXPECT_TRUE(Contains(message, bad.szFault)) << message;
        EXPECT_TRUE(Contains(message, site)) << message;

        const std::string title = Title("Refused");
        const CProcessResult post = RunQtvPost(library, "post " + m_strUser + " " + Quoted(m_strPassword) + " " +
                                                            Quoted(Png()) + " " + Quoted(title) + " x");
        // qtvpost lists before it posts: the refused list ends it ("no blog").
        EXPECT_EQ(post.dwExitCode, 2u) << post.strOutput;
        EXPECT_TRUE(Contains(post.strOutput, bad.szFault)) << post.strOutput;
        EXPECT_TRUE(FindPost(title).m_items.empty() && FindPost(title).m_members.empty()) << title;

        std::string service = bad.szService;
        for (char& c : service)
            c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
        const CFrontTraffic traffic = log.Settled(service);
        EXPECT_GT(traffic.nAccepted, 0);
        EXPECT_EQ(traffic.nEnded, traffic.nAccepted);
        EXPECT_EQ(traffic.nBytesToServer, 0);
    }
}

TEST_F(WordPressTlsCertificates, RevocationThatCannotBeLearntStillPosts)
{
    const ui::CDialogCanceller boxes;
    // No revocation information in the certificate; its revocation list on a closed port.
    for (const char* service : {"NOREV", "CRLCLOSED"}) {
        SCOPED_TRACE(service);
        const std::string site = Front(service);
        CRealLibrary library(site + "/xmlrpc.php");
        ASSERT_TRUE(library.Loaded());
        const std::string title = Title(service);
        EXPECT_EQ(library.Publish(1, "", "", Png(), m_strUser, m_strPassword, "1", title, kBody, 0, site + "/"), 0);
        EXPECT_TRUE(Contains(Content(title), site + "/wp-content/uploads/")) << title;
    }
    EXPECT_TRUE(boxes.Cancelled().empty()) << boxes.Cancelled().front();
}

TEST_F(WordPressTlsRedirects, HttpsToHttpIsRefusedAndNothingGoesToTheHttpAddress)
{
    // The front's /to-http/ answers 302 to the same host and port over plain
    // http; a client that followed would speak plain http to the TLS port.
    const std::string site = Front("GOOD");
    CRealLibrary library(site + "/to-http/xmlrpc.php");
    ASSERT_TRUE(library.Loaded());
    const CFrontLog log;
    const std::string message = ListRefused(library);
    EXPECT_TRUE(Contains(message, "from a secure address to an insecure one")) << message;

    // The call went through the front; nothing followed it in clear.
    const CFrontTraffic traffic = log.Settled("good");
    EXPECT_GT(traffic.nBytesToServer, 0);
    EXPECT_EQ(traffic.nRefusedHandshakes, 0);
}
