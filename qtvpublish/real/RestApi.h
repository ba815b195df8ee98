#pragma once
// WordPress's REST API, for blogs whose host blocks XML-RPC: the log-in as
// HTTP Basic with an application password, the site as the one blog, the
// image to /wp/v2/media, the entry to /wp/v2/posts.
#include "qtvpublish/real/BlogApi.h"

namespace qtvpublish {

// A site's API as found; all text UTF-8.
struct CRestSite {
    std::string m_strSite;  // the site the API was found for, ending with '/'
    std::string m_strRoot;  // the API root, on the site's origin
    std::string m_strName;  // from the API's index
    std::string m_strHome;
    bool m_bApplicationPasswords = false;
};

class CRestApi : public CBlogApi {
public:
    CRestApi(CHttpClient& http, const CRestSite& site) : m_pHttp(&http), m_site(site) {}

    // The API of the WordPress at site, found as WordPress announces it: the
    // root named by the front page's Link header, else "wp-json/" under the
    // site; its index must answer. Value when found; OtherOrigin (with the
    // root in m_strLocation) when the front page names a root on another
    // site, which is then never asked; another kind when there is none.
    static CCallResult Discover(CHttpClient& http, const std::string& site, CRestSite& found);

    CCallResult ListBlogs(const CLogin& login, std::vector<CBlogEntry>& blogs) const override;
    CCallResult UploadImage(const std::string& blogId, const CLogin& login, const CUpload& upload,
                            std::string& address) const override;
    CCallResult NewPost(const std::string& blogId, const CLogin& login, const std::string& title,
                        const std::string& body, bool draft, std::string& postId) const override;

private:
    CHttpClient* m_pHttp;
    CRestSite m_site;
};

}  // namespace qtvpublish
