#include "qtvpublish/real/RestApi.h"

#include <nlohmann/json.hpp>

#include "qtvpublish/real/Base64.h"
#include "qtvpublish/real/EndpointAddress.h"
#include "qtvpublish/real/JsonAnswer.h"
#include "qtvpublish/real/RestRules.h"
#include "qtvpublish/real/UrlRules.h"
#include "qtvpublish/real/Utf8.h"

namespace qtvpublish {

namespace {

using Json = nlohmann::json;

bool ParseJson(const std::string& text, Json& out)
{
    return ParseJsonAnswer(text, out) == JsonAnswer::Parsed;
}

std::string TextOf(const Json& object, const char* name)
{
    if (!object.is_object())
        return std::string();
    const auto it = object.find(name);
    if (it == object.end())
        return std::string();
    if (it->is_string())
        return it->get<std::string>();
    if (it->is_number_integer() || it->is_number_unsigned())
        return it->dump();
    return std::string();
}

const Json* MemberOf(const Json& object, const char* name)
{
    if (!object.is_object())
        return nullptr;
    const auto it = object.find(name);
    return it == object.end() ? nullptr : &*it;
}

bool HasNamespace(const Json& index, const char* name)
{
    const Json* namespaces = MemberOf(index, "namespaces");
    if (!namespaces || !namespaces->is_array())
        return false;
    for (const Json& item : *namespaces)
        if (item.is_string() && item.get_ref<const std::string&>() == name)
            return true;
    return false;
}

std::wstring Authorization(const CLogin& login)
{
    std::string encoded;
    if (!EncodeBase64(login.m_strUser + ":" + login.m_strPassword, encoded))
        return std::wstring();
    return L"Authorization: Basic " + WideFromUtf8(encoded) + L"\r\n";
}

// One exchange with the API. With a log-in, the address must be https (or
// this machine's): Basic sends the password as it is.
CCallResult Exchange(CHttpClient& http, const CRestSite& site, CHttpRequest request, const CLogin* login,
                     Json& answer)
{
    CCallResult result;
    CUrlParts parts;
    if (!CrackUrl(request.m_strUrl, parts)) {
        result.m_kind = CCallResult::Kind::BadAddress;
        return result;
    }
    if (login) {
        if (!parts.m_bSecure && !IsLoopbackName(Utf8FromWide(parts.m_strHost))) {
            result.m_kind = CCallResult::Kind::NeedsHttps;
            return result;
        }
        request.m_strHeaders += Authorization(*login);
    }
    request.m_strHeaders += L"Accept: application/json\r\n";
    const CHttpResult reply = http.Send(request);
    result.m_dwHttpStatus = reply.m_dwStatus;
    result.m_dwError = reply.m_dwError;
    result.m_certificate = reply.m_certificate;
    result.m_strLocation = Utf8FromWide(reply.m_strLocation);
    if (reply.m_kind != CHttpResult::Kind::Ok) {
        result.m_kind = CallKindOf(reply.m_kind);
        return result;
    }
    if (!ParseJson(reply.m_strBody, answer)) {
        result.m_kind = CCallResult::Kind::Failed;
        return result;
    }
    if (reply.m_dwStatus >= 200 && reply.m_dwStatus < 300) {
        result.m_kind = CCallResult::Kind::Value;
        return result;
    }
    // WordPress answers 401 only to a request it could not put a user to
    // (rest_authorization_required_code); a user who may not do something
    // gets 403. So with a log-in sent, 401 is a refused log-in, whatever the
    // code says (6.1 says "rest_not_logged_in" for a wrong password too).
    if (login && reply.m_dwStatus == 401) {
        // A site's log-in password is refused over REST like a wrong one; it
        // needs the user to go and make an application password.
        if (site.m_bApplicationPasswords && !LooksLikeApplicationPassword(login->m_strPassword)) {
            result.m_kind = CCallResult::Kind::NeedsApplicationPassword;
            result.m_strLocation = ApplicationPasswordsPage(site.m_strSite);
        } else {
            result.m_kind = CCallResult::Kind::LoginRefused;
        }
        return result;
    }
    const std::string code = TextOf(answer, "code");
    result.m_kind = CCallResult::Kind::Fault;
    result.m_nFaultCode = static_cast<int>(reply.m_dwStatus);
    result.m_strFault = TextOf(answer, "message");
    if (result.m_strFault.empty())
        result.m_strFault = code.empty() ? "HTTP " + std::to_string(reply.m_dwStatus) : code;
    return result;
}

CHttpRequest Request(const wchar_t* method, const std::string& url)
{
    CHttpRequest request;
    request.m_strMethod = method;
    request.m_strUrl = WideFromUtf8(url);
    return request;
}

}  // namespace

CCallResult CRestApi::Discover(CHttpClient& http, const std::string& site, CRestSite& found)
{
    found = CRestSite();
    found.m_strSite = site;
    CCallResult result;
    CUrlParts siteParts;
    if (!CrackUrl(WideFromUtf8(site), siteParts)) {
        result.m_kind = CCallResult::Kind::BadAddress;
        return result;
    }
    const CHttpResult front = http.Send(Request(L"GET", site));
    if (front.m_kind != CHttpResult::Kind::Ok) {
        result.m_kind = CallKindOf(front.m_kind);
        result.m_strLocation = Utf8FromWide(front.m_strLocation);
        return result;
    }
    const std::string announced = RestRootFromLinks(Utf8FromWide(front.m_strLinks));
    std::string root = announced.empty() ? RestRoute(site, "wp-json/")
                                         : Utf8FromWide(ResolveLocation(WideFromUtf8(site), WideFromUtf8(announced)));
    // The log-in will follow the root: it must be the site's own.
    CUrlParts rootParts;
    if (!CrackUrl(WideFromUtf8(root), rootParts) || !MayFollow(ClassifyHop(siteParts, rootParts))) {
        result.m_kind = CCallResult::Kind::OtherOrigin;
        result.m_strLocation = root;
        return result;
    }
    found.m_strRoot = root;

    Json index;
    result = Exchange(http, found, Request(L"GET", WithQuery(root, "_fields=name,home,namespaces,authentication")),
                      nullptr, index);
    if (!result.IsValue())
        return result;
    if (!HasNamespace(index, "wp/v2")) {
        result.m_kind = CCallResult::Kind::Failed;
        return result;
    }
    found.m_strName = TextOf(index, "name");
    found.m_strHome = TextOf(index, "home");
    const Json* authentication = MemberOf(index, "authentication");
    found.m_bApplicationPasswords = authentication && MemberOf(*authentication, "application-passwords") != nullptr;
    return result;
}

CCallResult CRestApi::ListBlogs(const CLogin& login, std::vector<CBlogEntry>& blogs) const
{
    blogs.clear();
    // The index is public; asking for the user proves the log-in.
    Json me;
    CCallResult result = Exchange(*m_pHttp, m_site, Request(L"GET", RestRoute(m_site.m_strRoot, "wp/v2/users/me")),
                                  &login, me);
    if (!result.IsValue())
        return result;
    CBlogEntry blog;
    blog.m_strId = "1";
    blog.m_strName = m_site.m_strName;
    // As XML-RPC gives it: the home address with its closing slash.
    blog.m_strAddress = m_site.m_strHome.empty() ? m_site.m_strSite : m_site.m_strHome;
    if (blog.m_strAddress.back() != '/')
        blog.m_strAddress += '/';
    blogs.push_back(std::move(blog));
    return result;
}

CCallResult CRestApi::UploadImage(const std::string& /*blogId*/, const CLogin& login, const CUpload& upload,
                                  std::string& address) const
{
    address.clear();
    CHttpRequest request = Request(L"POST", RestRoute(m_site.m_strRoot, "wp/v2/media"));
    request.m_strHeaders = L"Content-Type: " + WideFromUtf8(upload.m_strMimeType) + L"\r\nContent-Disposition: " +
                           WideFromUtf8(ContentDispositionFor(upload.m_strName)) + L"\r\n";
    request.m_strBody = upload.m_strBytes;
    Json media;
    CCallResult result = Exchange(*m_pHttp, m_site, std::move(request), &login, media);
    if (result.IsValue()) {
        address = TextOf(media, "source_url");
        if (address.empty())
            result.m_kind = CCallResult::Kind::Failed;
    }
    return result;
}

CCallResult CRestApi::NewPost(const std::string& /*blogId*/, const CLogin& login, const std::string& title,
                              const std::string& body, bool draft, std::string& postId) const
{
    postId.clear();
    const Json post = {{"title", title}, {"content", body}, {"status", draft ? "draft" : "publish"}};
    CHttpRequest request = Request(L"POST", RestRoute(m_site.m_strRoot, "wp/v2/posts"));
    request.m_strHeaders = L"Content-Type: application/json; charset=utf-8\r\n";
    request.m_strBody = post.dump(-1, ' ', false, Json::error_handler_t::replace);
    Json created;
    CCallResult result = Exchange(*m_pHttp, m_site, std::move(request), &login, created);
    if (result.IsValue()) {
        postId = TextOf(created, "id");
        if (postId.empty() || postId == "0")
            result.m_kind = CCallResult::Kind::Failed;
    }
    return result;
}

}  // namespace qtvpublish
