#pragma once
// The three things the library asks of a blog service, whatever its dialect:
// the account's blogs, an image upload, a new post. Strings are UTF-8.
#include <string>
#include <vector>

#include "qtvpublish/real/BlogListWriter.h"
#include "qtvpublish/real/XmlRpcClient.h"

namespace qtvpublish {

struct CLogin {
    std::string m_strUser;
    std::string m_strPassword;
};

struct CUpload {
    std::string m_strName;
    std::string m_strMimeType;
    std::string m_strBase64;
};

class CBlogApi {
public:
    explicit CBlogApi(const CXmlRpcClient& client) : m_client(client) {}
    virtual ~CBlogApi() = default;

    virtual CCallResult ListBlogs(const CLogin& login, std::vector<CBlogEntry>& blogs) const = 0;
    // address: where the service stored the file.
    virtual CCallResult UploadImage(const std::string& blogId, const CLogin& login, const CUpload& upload,
                                    std::string& address) const = 0;
    virtual CCallResult NewPost(const std::string& blogId, const CLogin& login, const std::string& title,
                                const std::string& body, bool draft, std::string& postId) const = 0;

protected:
    // wp.uploadFile and metaWeblog.newMediaObject take the same arguments
    // (blog id, user, password, a struct of name, type and bits) and answer alike.
    CCallResult UploadMediaObject(const char* method, const std::string& blogId, const CLogin& login,
                                  const CUpload& upload, std::string& address) const;
    // Both dialects answer the blog list as an array of structs with
    // "blogid", "blogName" and "url". A value of another shape fails the call.
    static void ReadBlogs(CCallResult& result, std::vector<CBlogEntry>& blogs);
    // The "url" member of an upload's answer; an answer without one fails the call.
    static void ReadUploadAddress(CCallResult& result, std::string& address);
    // A new post's id, a string or a number.
    static void ReadPostId(CCallResult& result, std::string& postId);

    const CXmlRpcClient& m_client;
};

}  // namespace qtvpublish
