#include "qtvpublish/real/XmlRpcBlogApi.h"

#include "qtvpublish/real/Base64.h"

#include "qtvpublish/real/Utf8.h"

namespace qtvpublish {

void CXmlRpcBlogApi::ReadBlogs(CCallResult& result, std::vector<CBlogEntry>& blogs)
{
    blogs.clear();
    if (!result.IsValue())
        return;
    if (result.m_value.m_kind != CXmlRpcValue::Kind::Array) {
        result.m_kind = CCallResult::Kind::NotXmlRpc;
        return;
    }
    for (const CXmlRpcValue& item : result.m_value.m_items) {
        if (item.m_kind != CXmlRpcValue::Kind::Struct)
            continue;
        CBlogEntry entry;
        entry.m_strId = Utf8FromWide(item.Text(L"blogid"));
        entry.m_strName = Utf8FromWide(item.Text(L"blogName"));
        entry.m_strAddress = Utf8FromWide(item.Text(L"url"));
        entry.m_strXmlRpc = Utf8FromWide(item.Text(L"xmlrpc"));
        blogs.push_back(std::move(entry));
    }
}

CCallResult CXmlRpcBlogApi::UploadMediaObject(const char* method, const std::string& blogId, const CLogin& login,
                                        const CUpload& upload, std::string& address) const
{
    std::string base64;
    if (!EncodeBase64(upload.m_strBytes, base64))
        return CCallResult();
    CXmlRpcRequest request(method);
    request.String(blogId).String(login.m_strUser).String(login.m_strPassword);
    request.BeginStruct()
        .Member("name").String(upload.m_strName)
        .Member("type").String(upload.m_strMimeType)
        .Member("bits").Base64(base64)
        .EndStruct();
    CCallResult result = m_client.Call(request);
    ReadUploadAddress(result, address);
    return result;
}

void CXmlRpcBlogApi::ReadUploadAddress(CCallResult& result, std::string& address)
{
    address.clear();
    if (!result.IsValue())
        return;
    if (result.m_value.m_kind == CXmlRpcValue::Kind::Struct)
        address = Utf8FromWide(result.m_value.Text(L"url"));
    if (address.empty())
        result.m_kind = CCallResult::Kind::NotXmlRpc;
}

void CXmlRpcBlogApi::ReadPostId(CCallResult& result, std::string& postId)
{
    postId.clear();
    if (!result.IsValue())
        return;
    if (result.m_value.IsScalar())
        postId = Utf8FromWide(result.m_value.m_strText);
    // WordPress answers a refused post with a fault; an empty or false id is one too.
    if (postId.empty() || postId == "0" || (result.m_value.m_kind == CXmlRpcValue::Kind::Bool))
        result.m_kind = CCallResult::Kind::NotXmlRpc;
}

}  // namespace qtvpublish
