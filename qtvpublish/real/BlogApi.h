#pragma once
// The three things the library asks of a blog service, whatever its
// protocol: the account's blogs, an image upload, a new post. Strings are UTF-8.
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
    std::string m_strBytes;  // the file as it is
};

class CBlogApi {
public:
    virtual ~CBlogApi() = default;

    virtual CCallResult ListBlogs(const CLogin& login, std::vector<CBlogEntry>& blogs) const = 0;
    // address: where the service stored the file.
    virtual CCallResult UploadImage(const std::string& blogId, const CLogin& login, const CUpload& upload,
                                    std::string& address) const = 0;
    virtual CCallResult NewPost(const std::string& blogId, const CLogin& login, const std::string& title,
                                const std::string& body, bool draft, std::string& postId) const = 0;
};

}  // namespace qtvpublish
