#include "qtvpublish/real/ApiMemory.h"

#include <map>
#include <mutex>

namespace qtvpublish {

namespace {

std::mutex& Lock()
{
    static std::mutex lock;
    return lock;
}

std::map<std::string, CRestSite>& Sites()
{
    static std::map<std::string, CRestSite> sites;
    return sites;
}

}  // namespace

void CApiMemory::RememberRest(const std::string& xmlRpcUrl, const CRestSite& site)
{
    const std::lock_guard<std::mutex> hold(Lock());
    // A handful of blogs per user; the bound only keeps a misuse small.
    if (Sites().size() >= 64)
        Sites().clear();
    Sites()[xmlRpcUrl] = site;
}

bool CApiMemory::FindRest(const std::string& xmlRpcUrl, CRestSite& site)
{
    const std::lock_guard<std::mutex> hold(Lock());
    const auto it = Sites().find(xmlRpcUrl);
    if (it == Sites().end())
        return false;
    site = it->second;
    return true;
}

}  // namespace qtvpublish
