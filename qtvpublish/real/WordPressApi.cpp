#include "qtvpublish/real/WordPressApi.h"

namespace qtvpublish {

CCallResult CWordPressApi::ListBlogs(const CLogin& login, std::vector<CBlogEntry>& blogs) const
{
    CXmlRpcRequest request("wp.getUsersBlogs");
    request.String(login.m_strUser).String(login.m_strPassword);
    CCallResult result = m_client.Call(request);
    ReadBlogs(result, blogs);
    return result;
}

CCallResult CWordPressApi::UploadImage(const std::string& blogId, const CLogin& login, const CUpload& upload,
                                       std::string& address) const
{
    return UploadMediaObject("wp.uploadFile", blogId, login, upload, address);
}

CCallResult CWordPressApi::NewPost(const std::string& blogId, const CLogin& login, const std::string& title,
                                   const std::string& body, bool draft, std::string& postId) const
{
    CXmlRpcRequest request("wp.newPost");
    request.String(blogId).String(login.m_strUser).String(login.m_strPassword);
    request.BeginStruct()
        .Member("post_type").String("post")
        .Member("post_status").String(draft ? "draft" : "publish")
        .Member("post_title").String(title)
        .Member("post_content").String(body)
        .EndStruct();
    CCallResult result = m_client.Call(request);
    ReadPostId(result, postId);
    return result;
}

}  // namespace qtvpublish
