#include "qtvpublish/real/PublishService.h"

#include "platform/UniqueHandle.h"
#include "qtvpublish/real/ApiMemory.h"
#include "qtvpublish/real/EndpointAddress.h"
#include "qtvpublish/real/FailureNotice.h"
#include "qtvpublish/real/FaultRules.h"
#include "qtvpublish/real/MetaWeblogApi.h"
#include "qtvpublish/real/MimeType.h"
#include "qtvpublish/real/PostBody.h"
#include "qtvpublish/real/RestApi.h"
#include "qtvpublish/real/RestRules.h"
#include "qtvpublish/real/Utf8.h"
#include "qtvpublish/real/WordPressApi.h"

namespace qtvpublish {

namespace {

std::string AnsiFromUtf8(const std::string& utf8)
{
    return AnsiFromWideText(WideFromUtf8(utf8));
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

bool CPublishService::MayTryRest(const std::string& url) const
{
    // The hosted service speaks XML-RPC, and its REST API takes no application passwords.
    return url != kHostedXmlRpcUrl;
}

CCallResult CPublishService::Run(int blogType, const std::string& url, CHttpClient& http,
                                 const Operation& operation) const
{
    CRestSite site;
    if (CApiMemory::FindRest(url, site))
        return operation(CRestApi(http, site));
    const CXmlRpcClient client(url, http);
    CCallResult result = operation(*ApiFor(blogType, client));
    if (!result.m_bServiceBlocked || !MayTryRest(url))
        return result;
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
        result = Run(blogType, url, http, [&](const CBlogApi& api) { return api.ListBlogs(login, blogs); });
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
    m_pfnNotice(FailureText(result, url.empty() ? Utf8FromAnsi(server + endpoint) : url, password));
    // The user must log in again, with an application password this time.
    return result.m_kind == CCallResult::Kind::NeedsApplicationPassword ? E_FAIL : S_FALSE;
}

int CPublishService::Publish(const CPostRequest& post) const
{
    const std::string url = EndpointFor(post.m_nBlogType, post.m_strServer, post.m_strEndpoint);
    if (url.empty())
        return 1;
    CUpload upload;
    if (!ReadImageFile(post.m_strImagePath, kMaxImageBytes, upload.m_strBytes))
        return 1;
    upload.m_strName = Utf8FromAnsi(FileNameOf(post.m_strImagePath));
    upload.m_strMimeType = MimeTypeOf(post.m_strImagePath);

    CHttpClient http(CallTimeouts());
    const CLogin login{Utf8FromAnsi(post.m_strUser), Utf8FromAnsi(post.m_strPassword)};
    const std::string blogId = Utf8FromAnsi(post.m_strBlogId);
    const std::string title = Utf8FromAnsi(post.m_strTitle);
    const std::string body = Utf8FromAnsi(post.m_strBody);
    const CCallResult result = Run(post.m_nBlogType, url, http, [&](const CBlogApi& api) {
        std::string imageAddress;
        CCallResult step = api.UploadImage(blogId, login, upload, imageAddress);
        if (!step.IsValue())
            return step;
        std::string postId;
        return api.NewPost(blogId, login, title, FillImageAddress(body, imageAddress), post.m_bDraft, postId);
    });
    if (result.IsValue())
        return 0;
    // Publishing is silent, but for this the user has to act: nothing else
    // will ever publish to this blog.
    if (result.m_kind == CCallResult::Kind::NeedsApplicationPassword)
        m_pfnNotice(FailureText(result, url, post.m_strPassword));
    return 1;
}

}  // namespace qtvpublish
