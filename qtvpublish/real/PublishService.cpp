#include "qtvpublish/real/PublishService.h"

#include "platform/UniqueHandle.h"
#include "qtvpublish/real/Base64.h"
#include "qtvpublish/real/EndpointAddress.h"
#include "qtvpublish/real/FailureNotice.h"
#include "qtvpublish/real/FaultRules.h"
#include "qtvpublish/real/MetaWeblogApi.h"
#include "qtvpublish/real/MimeType.h"
#include "qtvpublish/real/PostBody.h"
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
    CXmlRpcClient client(url, http);
    CCallResult result;
    std::vector<CBlogEntry> blogs;
    if (url.empty()) {
        result.m_kind = CCallResult::Kind::BadAddress;
    } else {
        const CLogin login{Utf8FromAnsi(user), Utf8FromAnsi(password)};
        result = ApiFor(blogType, client)->ListBlogs(login, blogs);
    }

    if (result.IsValue()) {
        for (const CBlogEntry& blog : blogs)
            list.Add({AnsiFromUtf8(blog.m_strId), AnsiFromUtf8(blog.m_strName), AnsiFromUtf8(blog.m_strAddress)});
        list.WriteTo(buffer, room);
        return S_OK;
    }
    if (result.m_kind == CCallResult::Kind::Fault && IsRefusedLogin(result.m_nFaultCode, result.m_strFault))
        return E_FAIL;
    m_pfnNotice(FailureText(result, url.empty() ? Utf8FromAnsi(server + endpoint) : url, password));
    return S_FALSE;
}

int CPublishService::Publish(const CPostRequest& post) const
{
    const std::string url = EndpointFor(post.m_nBlogType, post.m_strServer, post.m_strEndpoint);
    if (url.empty())
        return 1;
    std::string bytes;
    CUpload upload;
    if (!ReadImageFile(post.m_strImagePath, kMaxImageBytes, bytes) || !EncodeBase64(bytes, upload.m_strBase64))
        return 1;
    bytes.clear();
    bytes.shrink_to_fit();
    upload.m_strName = Utf8FromAnsi(FileNameOf(post.m_strImagePath));
    upload.m_strMimeType = MimeTypeOf(post.m_strImagePath);

    CHttpClient http(CallTimeouts());
    const CXmlRpcClient client(url, http);
    const std::unique_ptr<CBlogApi> api = ApiFor(post.m_nBlogType, client);
    const CLogin login{Utf8FromAnsi(post.m_strUser), Utf8FromAnsi(post.m_strPassword)};
    const std::string blogId = Utf8FromAnsi(post.m_strBlogId);
    std::string imageAddress;
    if (!api->UploadImage(blogId, login, upload, imageAddress).IsValue())
        return 1;
    upload.m_strBase64.clear();

    const std::string body = FillImageAddress(Utf8FromAnsi(post.m_strBody), imageAddress);
    std::string postId;
    if (!api->NewPost(blogId, login, Utf8FromAnsi(post.m_strTitle), body, post.m_bDraft, postId).IsValue())
        return 1;
    return 0;
}

}  // namespace qtvpublish
