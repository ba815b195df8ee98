#pragma once
// The text rules of WordPress's REST API as this library meets them: where
// a site announces its API, how routes join the API's root, how an upload
// names its file, and what an application password looks like.
#include <string>

namespace qtvpublish {

// The relation WordPress gives its API root in the front page's Link header.
constexpr char kRestLinkRelation[] = "https://api.w.org/";

// The target of the first link whose rel names kRestLinkRelation in the
// values of Link headers (comma-joined, as RFC 8288 writes them); empty
// when there is none.
std::string RestRootFromLinks(const std::string& links);

// The site an XML-RPC address belongs to: the address's folder, ending
// with '/' ("https://blog.example/wp/xmlrpc.php" gives "https://blog.example/wp/").
std::string SiteOf(const std::string& xmlRpcUrl);

// A route under the API root: "wp/v2/posts" under "https://b.example/wp-json/"
// or under "https://b.example/?rest_route=/" alike.
std::string RestRoute(const std::string& root, const std::string& route);

// The address with one more query parameter ("name=value"), after '?' or '&'.
std::string WithQuery(const std::string& url, const std::string& parameter);

// The Content-Disposition of an upload: an ASCII file name WordPress keeps,
// and the UTF-8 name as well when the name is not plain ASCII.
std::string ContentDispositionFor(const std::string& utf8FileName);

// Application passwords are 24 letters and digits, shown in groups of four
// separated by spaces; WordPress ignores the spaces.
bool LooksLikeApplicationPassword(const std::string& password);

// Where a user of the site creates application passwords.
std::string ApplicationPasswordsPage(const std::string& site);

}  // namespace qtvpublish
