#pragma once
// What the library learnt about the blogs while it is loaded; the accessory
// keeps it loaded from listing the blogs to posting. By the XML-RPC address
// a list came from: where each listed blog answers itself; and by XML-RPC
// address: which blogs answered over REST instead, so later calls go there straight.
#include <string>
#include <vector>

#include "qtvpublish/real/BlogListWriter.h"
#include "qtvpublish/real/RestApi.h"

namespace qtvpublish {

class CApiMemory {
public:
    static void RememberRest(const std::string& xmlRpcUrl, const CRestSite& site);
    // True, with the site, when the address answered over REST before.
    static bool FindRest(const std::string& xmlRpcUrl, CRestSite& site);

    // The blogs of a list from listedFrom replace those of any earlier list from there.
    static void RememberBlogs(const std::string& listedFrom, const std::vector<CBlogEntry>& blogs);
    // True when the last list from listedFrom held the blog, with the
    // blog's own XML-RPC address (empty when the list named none).
    static bool FindBlog(const std::string& listedFrom, const std::string& blogId, std::string& ownXmlRpc);
};

}  // namespace qtvpublish
