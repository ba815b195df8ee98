#include "qtvpublish/real/PublishService.h"

#include <cctype>

#include "platform/UniqueHandle.h"
#include "qtvpublish/real/ApiMemory.h"
#include "qtvpublish/real/BlogAddress.h"
#include "qtvpublish/real/EndpointAddress.h"
#include "qtvpublish/real/FailureNotice.h"
#include "qtvpublish/real/FaultRules.h"
#include "qtvpublish/real/MetaWeblogApi.h"
#include "qtvpublish/real/MimeType.h"
#include "qtvpublish/real/PostBody.h"
#include "qtvpublish/real/RestApi.h"
#include "qtvpublish/real/RestRules.h"
#include "qtvpublish/real/UrlRules.h"
#include "qtvpublish/real/Utf8.h"
#include "qtvpublish/real/WordPressApi.h"

namespace qtvpublish {

namespace {

std::string AnsiFromUtf8(const std::string& utf8)
{
    return AnsiFromWideText(WideFromUtf8(utf8));
}

std::string BareHost(std::string host)
{
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    return host;
}

// The trust rule reads addresses itself; the connection is made to the host
// WinHTTP reads. Where the two could differ, the rule proves nothing.
bool PlatformReadsAsTheRule(const std::string& address)
{
    CUrlParts platform;
    CAddressParts rule;
    return CrackUrl(WideFromUtf8(address), platform) && SplitAddress(address, rule) &&
           BareHost(Utf8FromWide(platform.m_strHost)) == BareHost(rule.m_strHost) &&
           platform.m_nPort == rule.m_nPort && platform.m_bSecure == rule.m_bSecure;
}

}  // namespace

bool ReadImageFile(const std::string& path, unsigned long long maxBytes, std::string& bytes)
{
    bytes.clear();
    platform::CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.Get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &read, nullptr) || !read)
            return false;
        done += read;
    }
    return true;
}

CPublishService::CPublishService(const CLibrarySettings& settings, NoticeFn notice)
    : m_settings(settings), m_pfnNotice(notice ? notice : ShowFailureNotice)
{
}

std::string CPublishService::EndpointFor(int blogType, const std::string& server, const std::string& endpoint) const
{
    if (blogType == kBlogTypeWordPress)
        return Utf8FromAnsi(m_settings.WordPressUrl());
    if (blogType == kBlogTypeMetaWeblog)
        return Utf8FromAnsi(JoinEndpoint(server, endpoint));
    return std::string();
}

CHttpTimeouts CPublishService::CallTimeouts() const
{
    CHttpTimeouts timeouts;
    timeouts.m_nTotalMs = m_settings.CallSeconds() * 1000;
    return timeouts;
}

std::unique_ptr<CBlogApi> CPublishService::ApiFor(int blogType, const CXmlRpcClient& client) const
{
    if (blogType == kBlogTypeWordPress)
        return std::make_unique<CWordPressApi>(client);
    return std::make_unique<CMetaWeblogApi>(client);
}

bool CPublishService::MayTryRest(const std::string& listedFrom) const
{
    // The hosted service speaks XML-RPC, and its REST API takes no application passwords.
    return listedFrom != kHostedXmlRpcUrl;
}

CCallResult CPublishService::Run(int blogType, const std::string& listedFrom, const std::string& url,
                                 CHttpClient& http, const Operation& operation) const
{
    CRestSite site;
    if (CApiMemory::FindRest(url, site))
        return operation(CRestApi(http, site));
    const CXmlRpcClient client(url, http);
    CCallResult result = operation(*ApiFor(blogType, client));
    if (!result.m_bServiceBlocked || !MayTryRest(listedFrom))
        return result;
    // Each site of a network has its own REST root: the one of the site XML-RPC was asked at.
    const CCallResult found = CRestApi::Discover(http, SiteOf(url), site);
    // A root on another site is refused and said; without any API the
    // XML-RPC answer is what the user needs to hear.
    if (found.m_kind == CCallResult::Kind::OtherOrigin)
        return found;
    if (!found.IsValue())
        return result;
    CApiMemory::RememberRest(url, site);
    return operation(CRestApi(http, site));
}

CCallResult CPublishService::ListBlogs(int blogType, const std::string& listedFrom, const CLogin& login,
                                       CHttpClient& http, std::vector<CBlogEntry>& blogs) const
{
    const CCallResult result =
        Run(blogType, listedFrom, listedFrom, http, [&](const CBlogApi& api) { return api.ListBlogs(login, blogs); });
    if (result.IsValue())
        CApiMemory::RememberBlogs(listedFrom, blogs);
    return result;
}

CCallResult CPublishService::BlogEndpoint(int blogType, const std::string& listedFrom, const std::string& blogId,
                                          const CLogin& login, CHttpClient& http, std::string& url) const
{
    url = listedFrom;
    CCallResult result;
    result.m_kind = CCallResult::Kind::Value;
    if (blogId.empty()) {
        // Nothing was chosen: a self-hosted blog is its configured address,
        // but the hosted service's own address is no blog at all.
        if (listedFrom == kHostedXmlRpcUrl)
            result.m_kind = CCallResult::Kind::Failed;
        return result;
    }
    std::string own;
    if (!CApiMemory::FindBlog(listedFrom, blogId, own)) {
        std::vector<CBlogEntry> blogs;
        result = ListBlogs(blogType, listedFrom, login, http, blogs);
        if (!result.IsValue())
            return result;
        // Not the account's blog here: posting at listedFrom would land on another one.
        if (!CApiMemory::FindBlog(listedFrom, blogId, own)) {
            result.m_kind = CCallResult::Kind::Failed;
            return result;
        }
    }
    if (own.empty() || own == listedFrom)
        return result;
    switch (JudgeBlogAddress(listedFrom, own)) {
    case CBlogTrust::Trusted:
        break;
    case CBlogTrust::Insecure:
        result.m_kind = CCallResult::Kind::BlogInsecure;
        break;
    case CBlogTrust::OtherSite:
        result.m_kind = CCallResult::Kind::BlogElsewhere;
        break;
    }
    if (result.IsValue() && !PlatformReadsAsTheRule(own))
        result.m_kind = CCallResult::Kind::BlogElsewhere;
    if (!result.IsValue()) {
        result.m_strLocation = own;
        return result;
    }
    url = own;
    return result;
}

HRESULT CPublishService::GetBlogIds(int blogType, const std::string& server, const std::string& endpoint,
                                    const std::string& user, const std::string& password, char* buffer,
                                    int capacity) const
{
    if (!buffer || capacity < 0)
        return E_POINTER;
    const std::size_t room = static_cast<std::size_t>(capacity);
    CBlogListWriter list;
    // Whatever happens next, the caller finds a list in its buffer.
    list.WriteTo(buffer, room);

    const std::string url = EndpointFor(blogType, server, endpoint);
    if (blogType != kBlogTypeWordPress && blogType != kBlogTypeMetaWeblog)
        return S_FALSE;
    CHttpClient http(CallTimeouts());
    CCallResult result;
    std::vector<CBlogEntry> blogs;
    if (url.empty()) {
        result.m_kind = CCallResult::Kind::BadAddress;
    } else {
        const CLogin login{Utf8FromAnsi(user), Utf8FromAnsi(password)};
        result = ListBlogs(blogType, url, login, http, blogs);
        // An editor without a blog could only fail to post; the user has a
        // settings file to fill in and can then log in again.
        if (result.IsValue() && blogs.empty() && url == kHostedXmlRpcUrl)
            result.m_kind = CCallResult::Kind::NoHostedBlogs;
    }

    if (result.IsValue()) {
        for (const CBlogEntry& blog : blogs)
            list.Add({AnsiFromUtf8(blog.m_strId), AnsiFromUtf8(blog.m_strName), AnsiFromUtf8(blog.m_strAddress)});
        list.WriteTo(buffer, room);
        return S_OK;
    }
    if (result.m_kind == CCallResult::Kind::LoginRefused ||
        (result.m_kind == CCallResult::Kind::Fault && IsRefusedLogin(result.m_nFaultCode, result.m_strFault)))
        return E_FAIL;
    m_pfnNotice(FailureText(result, url.empty() ? Utf8FromAnsi(server + endpoint) : url, password), nullptr);
    // The user must log in again: with an application password, or once
    // the settings file names the blog's own address.
    return result.m_kind == CCallResult::Kind::NeedsApplicationPassword ||
                   result.m_kind == CCallResult::Kind::NoHostedBlogs
               ? E_FAIL
               : S_FALSE;
}

int CPublishService::Publish(const CPostRequest& post) const
{
    const std::string listedFrom = EndpointFor(post.m_nBlogType, post.m_strServer, post.m_strEndpoint);
    if (listedFrom.empty())
        return 1;
    CUpload upload;
    if (!ReadImageFile(post.m_strImagePath, kMaxImageBytes, upload.m_strBytes))
        return 1;
    upload.m_strName = Utf8FromAnsi(FileNameOf(post.m_strImagePath));
    upload.m_strMimeType = MimeTypeOf(post.m_strImagePath);

    CProgressReport silent;
    CProgressReport& progress = post.m_pProgress ? *post.m_pProgress : silent;
    if (!progress.Report(kPublishConnecting))
        return 1;
    CHttpClient http(CallTimeouts());
    const CLogin login{Utf8FromAnsi(post.m_strUser), Utf8FromAnsi(post.m_strPassword)};
    const std::string blogId = Utf8FromAnsi(post.m_strBlogId);
    const std::string title = Utf8FromAnsi(post.m_strTitle);
    const std::string body = Utf8FromAnsi(post.m_strBody);
    std::string url;
    CCallResult result = BlogEndpoint(post.m_nBlogType, listedFrom, blogId, login, http, url);
    if (result.IsValue())
        result = Run(post.m_nBlogType, listedFrom, url, http, [&](const CBlogApi& api) {
            CCallResult stopped;
            stopped.m_kind = CCallResult::Kind::Failed;
            if (!progress.Report(kPublishUploading))
                return stopped;
            std::string imageAddress;
            http.SetUploadProgress(&progress);
            CCallResult step = api.UploadImage(blogId, login, upload, imageAddress);
            http.SetUploadProgress(nullptr);
            if (!step.IsValue())
                return step;
            // The last moment a stop can keep the entry off the blog: once
            // the post is asked for, its answer decides.
            if (!progress.Report(kPublishCreatingPost))
                return stopped;
            std::string postId;
            return api.NewPost(blogId, login, title, FillImageAddress(body, imageAddress), post.m_bDraft, postId);
        });
    if (result.IsValue())
        return 0;
    // Publishing is silent, but for these the user has to act: nothing else
    // will ever publish to this blog. A user who stopped the call knows why.
    if (!progress.StopAsked() && (result.m_kind == CCallResult::Kind::NeedsApplicationPassword ||
                                  result.m_kind == CCallResult::Kind::BlogElsewhere ||
                                  result.m_kind == CCallResult::Kind::BlogInsecure))
        m_pfnNotice(FailureText(result, url, post.m_strPassword), post.m_hOwner);
    return 1;
}

}  // namespace qtvpublish
