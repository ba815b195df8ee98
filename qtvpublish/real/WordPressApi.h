#pragma once
// WordPress's own XML-RPC methods: wp.getUsersBlogs, wp.uploadFile, wp.newPost.
#include "qtvpublish/real/XmlRpcBlogApi.h"

namespace qtvpublish {

class CWordPressApi : public CXmlRpcBlogApi {
public:
    using CXmlRpcBlogApi::CXmlRpcBlogApi;

    CCallResult ListBlogs(const CLogin& login, std::vector<CBlogEntry>& blogs) const override;
    CCallResult UploadImage(const std::string& blogId, const CLogin& login, const CUpload& upload,
                            std::string& address) const override;
    CCallResult NewPost(const std::string& blogId, const CLogin& login, const std::string& title,
                        const std::string& body, bool draft, std::string& postId) const override;
};

}  // namespace qtvpublish
