// The rules the HTTP side applies before a byte leaves: how a redirect's
// Location is read, which hops a call with the log-in may take, what a
// server's certificate checks decide, and what of a server's answer may
// reach a message.
#include <gtest/gtest.h>

#include "qtvpublish/real/CertificateRules.h"
#include "qtvpublish/real/FailureNotice.h"
#include "qtvpublish/real/UrlRules.h"

using qtvpublish::CHop;
using qtvpublish::ClassifyHop;
using qtvpublish::CrackUrl;
using qtvpublish::CUrlParts;
using qtvpublish::ResolveLocation;

namespace {

CUrlParts Parts(const std::wstring& url)
{
    CUrlParts parts;
    EXPECT_TRUE(CrackUrl(url, parts)) << std::string(url.begin(), url.end());
    return parts;
}

CHop Hop(const std::wstring& from, const std::wstring& to)
{
    return ClassifyHop(Parts(from), Parts(to));
}

}  // namespace

TEST(RedirectLocation, ReadAgainstTheAnsweredAddress)
{
    const std::wstring from = L"http://blog.example:8080/dir/xmlrpc.php?a=1";
    EXPECT_EQ(ResolveLocation(from, L"https://blog.example/new.php"), L"https://blog.example/new.php");
    EXPECT_EQ(ResolveLocation(from, L"/root.php"), L"http://blog.example:8080/root.php");
    EXPECT_EQ(ResolveLocation(from, L"next.php"), L"http://blog.example:8080/dir/next.php");
    EXPECT_EQ(ResolveLocation(from, L"?b=2"), L"http://blog.example:8080/dir/xmlrpc.php?b=2");
    EXPECT_EQ(ResolveLocation(from, L"//other.example/x"), L"http://other.example/x");
    // An address inside a query does not make the Location absolute.
    EXPECT_EQ(ResolveLocation(from, L"/go?to=https://evil.example/"), L"http://blog.example:8080/go?to=https://evil.example/");
    EXPECT_EQ(ResolveLocation(from, L"go?to=https://evil.example/"), L"http://blog.example:8080/dir/go?to=https://evil.example/");
    EXPECT_EQ(ResolveLocation(from, L"/x#frag"), L"http://blog.example:8080/x");
    EXPECT_EQ(ResolveLocation(from, L""), L"");
    // Other schemes stay what they are, and are then refused for not being http.
    EXPECT_EQ(ResolveLocation(from, L"file:///C:/x"), L"file:///C:/x");
    CUrlParts parts;
    EXPECT_FALSE(CrackUrl(L"file:///C:/x", parts));
    EXPECT_FALSE(CrackUrl(L"ftp://blog.example/x", parts));
}

TEST(RedirectLocation, OnlyTheSameOriginOrTheUpgradeToHttps)
{
    EXPECT_EQ(Hop(L"http://blog.example/a", L"http://BLOG.example:80/b"), CHop::SameOrigin);
    EXPECT_EQ(Hop(L"https://blog.example/a", L"https://blog.example/b?c"), CHop::SameOrigin);
    EXPECT_EQ(Hop(L"http://blog.example/a", L"https://blog.example/a"), CHop::Upgrade);
    EXPECT_EQ(Hop(L"http://blog.example:8080/a", L"https://blog.example:8443/a"), CHop::Upgrade);
    EXPECT_EQ(Hop(L"https://blog.example/a", L"http://blog.example/a"), CHop::Downgrade);
    EXPECT_EQ(Hop(L"http://blog.example/a", L"http://blog.example:8080/a"), CHop::OtherOrigin);
    EXPECT_EQ(Hop(L"http://blog.example/a", L"http://other.example/a"), CHop::OtherOrigin);
    EXPECT_EQ(Hop(L"http://blog.example/a", L"https://www.blog.example/a"), CHop::OtherOrigin);
    EXPECT_EQ(Hop(L"http://127.0.0.1:1/a", L"http://127.0.0.1:2/a"), CHop::OtherOrigin);
    EXPECT_TRUE(qtvpublish::MayFollow(CHop::Upgrade));
    EXPECT_FALSE(qtvpublish::MayFollow(CHop::Downgrade));
}

TEST(ServerTextInMessages, PasswordMaskedBeforeTheCutWhateverItsLength)
{
    using qtvpublish::ServerText;
    // A two-character password the server echoes.
    EXPECT_EQ(ServerText("Wrong password 'pw' for me", "pw"), "Wrong password '***' for me");
    // The password across the cut: no part of it may remain.
    const std::string password = "tiger-lily";
    const std::string atCut = std::string(qtvpublish::kMaxServerText - 4, 'x') + password + " and more";
    const std::string shown = ServerText(atCut, password);
    EXPECT_EQ(shown, std::string(qtvpublish::kMaxServerText - 4, 'x') + "***" + " ..." );
    EXPECT_EQ(shown.find("tig"), std::string::npos);
    EXPECT_LE(shown.size(), qtvpublish::kMaxServerText + 3);
    EXPECT_EQ(ServerText("short", ""), "short");

    qtvpublish::CCallResult fault;
    fault.m_kind = qtvpublish::CCallResult::Kind::Fault;
    fault.m_nFaultCode = 500;
    fault.m_strFault = "rejected ab because ab";
    const std::string text = qtvpublish::FailureText(fault, "https://me:ab@blog.example/xmlrpc.php", "ab");
    EXPECT_EQ(text.find("ab"), std::string::npos) << text;
}

TEST(CertificateVerdict, RevocationUnknownIsSoftEveryOtherFaultIsHardAndTheWorstNamesIt)
{
    using qtvpublish::CCertificateChecks;
    using qtvpublish::CCertificateVerdict;
    using qtvpublish::IsAccepted;
    using qtvpublish::JudgeCertificate;
    const auto judge = [](void (*set)(CCertificateChecks&)) {
        CCertificateChecks checks;
        set(checks);
        return JudgeCertificate(checks);
    };
    EXPECT_EQ(judge([](CCertificateChecks&) {}), CCertificateVerdict::Accepted);
    const CCertificateVerdict unknown = judge([](CCertificateChecks& c) { c.m_bRevocationUnknown = true; });
    EXPECT_EQ(unknown, CCertificateVerdict::AcceptedRevocationUnknown);
    EXPECT_TRUE(IsAccepted(unknown));

    // A revoked certificate is refused even when another list could not be read.
    EXPECT_EQ(judge([](CCertificateChecks& c) { c.m_bRevoked = c.m_bRevocationUnknown = true; }),
              CCertificateVerdict::Revoked);
    // A soft revocation never lets another fault through.
    EXPECT_EQ(judge([](CCertificateChecks& c) { c.m_bWrongName = c.m_bRevocationUnknown = true; }),
              CCertificateVerdict::WrongName);
    EXPECT_EQ(judge([](CCertificateChecks& c) { c.m_bOther = c.m_bRevocationUnknown = true; }),
              CCertificateVerdict::Refused);
    // Untrusted outweighs everything: an unknown issuer's dates and revocation mean nothing.
    EXPECT_EQ(judge([](CCertificateChecks& c) { c.m_bUntrusted = c.m_bExpired = c.m_bRevoked = true; }),
              CCertificateVerdict::Untrusted);
    EXPECT_EQ(judge([](CCertificateChecks& c) { c.m_bExpired = c.m_bWrongName = true; }),
              CCertificateVerdict::Expired);
    for (CCertificateVerdict refused : {CCertificateVerdict::Untrusted, CCertificateVerdict::Expired,
                                        CCertificateVerdict::WrongName, CCertificateVerdict::Revoked,
                                        CCertificateVerdict::Refused})
        EXPECT_FALSE(IsAccepted(refused));
}
