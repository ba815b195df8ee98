#include "qtvpublish/real/MetaWeblogApi.h"

namespace qtvpublish {

CCallResult CMetaWeblogApi::ListBlogs(const CLogin& login, std::vector<CBlogEntry>& blogs) const
{
    // The first argument is the Blogger application key, which no server checks any more.
    CXmlRpcRequest request("blogger.getUsersBlogs");
    request.String("").String(login.m_strUser).String(login.m_strPassword);
    CCallResult result = m_client.Call(request);
    ReadBlogs(result, blogs);
    return result;
}

CCallResult CMetaWeblogApi::UploadImage(const std::string& blogId, const CLogin& login, const CUpload& upload,
                                        std::string& address) const
{
    return UploadMediaObject("metaWeblog.newMediaObject", blogId, login, upload, address);
}

CCallResult CMetaWeblogApi::NewPost(const std::string& blogId, const CLogin& login, const std::string& title,
                                    const std::string& body, bool draft, std::string& postId) const
{
    CXmlRpcRequest request("metaWeblog.newPost");
    request.String(blogId).String(login.m_strUser).String(login.m_strPassword);
    request.BeginStruct().Member("title").String(title).Member("description").String(body).EndStruct();
    request.Bool(!draft);
    CCallResult result = m_client.Call(request);
    ReadPostId(result, postId);
    return result;
}

}  // namespace qtvpublish
