#pragma once
// What the XML-RPC dialects share: the client of the endpoint and the
// reading of answers that both shape alike.
#include "qtvpublish/real/BlogApi.h"

namespace qtvpublish {

class CXmlRpcBlogApi : public CBlogApi {
public:
    explicit CXmlRpcBlogApi(const CXmlRpcClient& client) : m_client(client) {}

protected:
    // wp.uploadFile and metaWeblog.newMediaObject take the same arguments
    // (blog id, user, password, a struct of name, type and bits) and answer alike.
    CCallResult UploadMediaObject(const char* method, const std::string& blogId, const CLogin& login,
                                  const CUpload& upload, std::string& address) const;
    // Both dialects answer the blog list as an array of structs with
    // "blogid", "blogName" and "url", and WordPress with each blog's own
    // "xmlrpc" address. A value of another shape fails the call.
    static void ReadBlogs(CCallResult& result, std::vector<CBlogEntry>& blogs);
    // The "url" member of an upload's answer; an answer without one fails the call.
    static void ReadUploadAddress(CCallResult& result, std::string& address);
    // A new post's id, a string or a number.
    static void ReadPostId(CCallResult& result, std::string& postId);

    const CXmlRpcClient& m_client;
};

}  // namespace qtvpublish
