#include "qtvpublish/real/ApiMemory.h"

#include <map>
#include <mutex>

namespace qtvpublish {

namespace {

// A handful of blogs per user; the bounds only keep a misuse small.
constexpr std::size_t kMaxAddresses = 64;

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

// Listed-from address, then blog id, to the blog's own XML-RPC address.
std::map<std::string, std::map<std::string, std::string>>& Lists()
{
    static std::map<std::string, std::map<std::string, std::string>> lists;
    return lists;
}

}  // namespace

void CApiMemory::RememberRest(const std::string& xmlRpcUrl, const CRestSite& site)
{
    const std::lock_guard<std::mutex> hold(Lock());
    if (Sites().size() >= kMaxAddresses)
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

void CApiMemory::RememberBlogs(const std::string& listedFrom, const std::vector<CBlogEntry>& blogs)
{
    std::map<std::string, std::string> own;
    for (const CBlogEntry& blog : blogs)
        own.emplace(blog.m_strId, blog.m_strXmlRpc);
    const std::lock_guard<std::mutex> hold(Lock());
    if (Lists().size() >= kMaxAddresses && Lists().find(listedFrom) == Lists().end())
        Lists().clear();
    Lists()[listedFrom] = std::move(own);
}

bool CApiMemory::FindBlog(const std::string& listedFrom, const std::string& blogId, std::string& ownXmlRpc)
{
    const std::lock_guard<std::mutex> hold(Lock());
    const auto list = Lists().find(listedFrom);
    if (list == Lists().end())
        return false;
    const auto blog = list->second.find(blogId);
    if (blog == list->second.end())
        return false;
    ownXmlRpc = blog->second;
    return true;
}

}  // namespace qtvpublish
