// The REST API's text rules: finding the API root in Link headers, the site
// of an XML-RPC address, routes under both root forms, the upload's file
// name header, and telling an application password from a log-in password.
#include <gtest/gtest.h>

#include "qtvpublish/real/RestRules.h"

using namespace qtvpublish;

TEST(RestRules, ApiRootFromTheFrontPagesLinkHeaders)
{
    EXPECT_EQ(RestRootFromLinks("<http://b.example/wp-json/>; rel=\"https://api.w.org/\""), "http://b.example/wp-json/");
    // Several links, several relations, quoted commas, other parameter order.
    EXPECT_EQ(RestRootFromLinks("<http://b.example/?p=1>; rel=shortlink, <http://b.example/wp-json/wp/v2/pages/2>; "
                                "rel=\"alternate\"; type=\"application/json\", "
                                "<https://b.example/index.php?rest_route=/>; title=\"a, b\"; "
                                "rel=\"preload https://API.w.org/\""),
              "https://b.example/index.php?rest_route=/");
    EXPECT_EQ(RestRootFromLinks("<http://b.example/wp-json/>; rel=https://api.w.org/"), "http://b.example/wp-json/");
    EXPECT_EQ(RestRootFromLinks("<http://b.example/x>; rel=\"https://api.w.org/extra\""), "");
    EXPECT_EQ(RestRootFromLinks(""), "");
    EXPECT_EQ(RestRootFromLinks("garbage; rel=\"https://api.w.org/\""), "");
    EXPECT_EQ(RestRootFromLinks("<http://b.example/wp-json/; rel=\"https://api.w.org/\""), "");
}

TEST(RestRules, SiteAndRoutes)
{
    EXPECT_EQ(SiteOf("https://b.example/xmlrpc.php"), "https://b.example/");
    EXPECT_EQ(SiteOf("https://b.example/blog/xmlrpc.php?x=1"), "https://b.example/blog/");
    EXPECT_EQ(SiteOf("http://127.0.0.1:8080"), "http://127.0.0.1:8080/");
    EXPECT_EQ(SiteOf("http://b.example/blog"), "http://b.example/blog/");
    EXPECT_EQ(SiteOf("http://b.example/blog/"), "http://b.example/blog/");

    EXPECT_EQ(RestRoute("https://b.example/wp-json/", "wp/v2/posts"), "https://b.example/wp-json/wp/v2/posts");
    EXPECT_EQ(RestRoute("https://b.example/wp-json", "/wp/v2/posts"), "https://b.example/wp-json/wp/v2/posts");
    EXPECT_EQ(RestRoute("https://b.example/?rest_route=/", "wp/v2/media"), "https://b.example/?rest_route=/wp/v2/media");
    EXPECT_EQ(WithQuery("https://b.example/wp-json/", "_fields=name"), "https://b.example/wp-json/?_fields=name");
    EXPECT_EQ(WithQuery("https://b.example/?rest_route=/", "_fields=name"), "https://b.example/?rest_route=/&_fields=name");
    EXPECT_EQ(ApplicationPasswordsPage("https://b.example/blog/"),
              "https://b.example/blog/wp-admin/profile.php#application-passwords-section");
}

TEST(RestRules, UploadNamesAndApplicationPasswords)
{
    EXPECT_EQ(ContentDispositionFor("WordPressExt1.png"), "attachment; filename=\"WordPressExt1.png\"");
    // Nothing can close the quoted name or start another header.
    EXPECT_EQ(ContentDispositionFor("a\"b\\c\r\nX: y.png"), "attachment; filename=\"abcX: y.png\"");
    EXPECT_EQ(ContentDispositionFor("Caf\xC3\xA9.png"),
              "attachment; filename=\"Caf__.png\"; filename*=UTF-8''Caf%C3%A9.png");
    EXPECT_EQ(ContentDispositionFor(""), "attachment; filename=\"capture\"");

    EXPECT_TRUE(LooksLikeApplicationPassword("abcd EFGH 1234 ijkl mnop qr56"));
    EXPECT_TRUE(LooksLikeApplicationPassword("abcdEFGH1234ijklmnopqr56"));
    EXPECT_FALSE(LooksLikeApplicationPassword("abcd EFGH 1234 ijkl mnop qr5"));
    EXPECT_FALSE(LooksLikeApplicationPassword("qtv-0123456789abcdef"));
    EXPECT_FALSE(LooksLikeApplicationPassword("abcd-EFGH-1234-ijkl-mnop-qr56"));
    EXPECT_FALSE(LooksLikeApplicationPassword(""));
}
