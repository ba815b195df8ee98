#pragma once
// What the two exports do, with the result codes the accessory relies on.
// Strings come in the caller's ANSI code page; nothing here throws on
// purpose, but the exports still catch whatever might.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "qtvpublish/real/BlogApi.h"
#include "qtvpublish/real/LibrarySettings.h"
#include "qtvpublish/real/ProgressReport.h"

namespace qtvpublish {

constexpr int kBlogTypeWordPress = 1;
constexpr int kBlogTypeMetaWeblog = 2;
// The largest image file uploaded; a capture is far smaller.
constexpr unsigned long long kMaxImageBytes = 64ull << 20;

struct CPostRequest {
    int m_nBlogType = 0;
    std::string m_strServer;
    std::string m_strEndpoint;
    std::string m_strImagePath;
    std::string m_strUser;
    std::string m_strPassword;
    std::string m_strBlogId;
    std::string m_strTitle;
    std::string m_strBody;
    bool m_bDraft = false;
    // The caller's window, owner of the messages the post shows; null: the active one.
    HWND m_hOwner = nullptr;
    // Told the steps and the upload's bytes, and asked whether to stop; may be null.
    CProgressReport* m_pProgress = nullptr;
};

class CPublishService {
public:
    using NoticeFn = void (*)(const std::string& text, HWND hOwner);

    explicit CPublishService(const CLibrarySettings& settings, NoticeFn notice = nullptr);

    // S_OK with the account's blogs; E_FAIL for a refused log-in; S_FALSE
    // with an empty list when the blogs could not be asked for (the user has
    // been told why) or the blog type is not served. The buffer holds
    // capacity characters plus the NUL and always ends up holding a list.
    HRESULT GetBlogIds(int blogType, const std::string& server, const std::string& endpoint,
                       const std::string& user, const std::string& password, char* buffer, int capacity) const;

    // 0 when the entry was published (or saved as a draft), 1 otherwise:
    // also when a stop was asked before the post was created.
    int Publish(const CPostRequest& post) const;

    // The XML-RPC address for a blog type; empty when the type is not served.
    std::string EndpointFor(int blogType, const std::string& server, const std::string& endpoint) const;

private:
    using Operation = std::function<CCallResult(const CBlogApi& api)>;

    CHttpTimeouts CallTimeouts() const;
    std::unique_ptr<CBlogApi> ApiFor(int blogType, const CXmlRpcClient& client) const;
    // Runs the operation over XML-RPC at url (listedFrom's or a blog's own),
    // or over that site's REST API when it answered there before or blocks
    // XML-RPC now.
    CCallResult Run(int blogType, const std::string& listedFrom, const std::string& url, CHttpClient& http,
                    const Operation& operation) const;
    bool MayTryRest(const std::string& listedFrom) const;
    // The account's blogs as listed at listedFrom, remembered with their own addresses.
    CCallResult ListBlogs(int blogType, const std::string& listedFrom, const CLogin& login, CHttpClient& http,
                          std::vector<CBlogEntry>& blogs) const;
    // Where a post for the blog goes: its own XML-RPC address as the list
    // named it (the blogs are listed again when the blog is not remembered),
    // or listedFrom when the list named none. A value only when the log-in
    // may go there; url is listedFrom otherwise.
    CCallResult BlogEndpoint(int blogType, const std::string& listedFrom, const std::string& blogId,
                             const CLogin& login, CHttpClient& http, std::string& url) const;

    CLibrarySettings m_settings;
    NoticeFn m_pfnNotice;
};

// Reads a whole file of at most maxBytes; false when it cannot.
bool ReadImageFile(const std::string& path, unsigned long long maxBytes, std::string& bytes);

}  // namespace qtvpublish
