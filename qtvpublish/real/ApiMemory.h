#pragma once
// Which blogs answered over REST instead of XML-RPC, by XML-RPC address,
// so later calls go there straight. Kept while the library is loaded; the
// accessory keeps it loaded from listing the blogs to posting.
#include <string>

#include "qtvpublish/real/RestApi.h"

namespace qtvpublish {

class CApiMemory {
public:
    static void RememberRest(const std::string& xmlRpcUrl, const CRestSite& site);
    // True, with the site, when the address answered over REST before.
    static bool FindRest(const std::string& xmlRpcUrl, CRestSite& site);
};

}  // namespace qtvpublish
