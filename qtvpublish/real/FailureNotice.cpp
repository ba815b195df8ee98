#include "qtvpublish/real/FailureNotice.h"

#include <windows.h>

#include "qtvpublish/real/EndpointAddress.h"
#include "qtvpublish/real/FaultRules.h"
#include "qtvpublish/real/PublishStrings.h"
#include "qtvpublish/real/Utf8.h"

namespace qtvpublish {

namespace {

HINSTANCE ThisModule()
{
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ThisModule), &self);
    return self;
}

std::string LoadText(UINT id)
{
    char text[1024] = {};
    ::LoadStringA(ThisModule(), id, text, sizeof text);
    return text;
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with)
{
    if (what.empty())
        return;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += with.size())
        text.replace(at, what.size(), with);
}

UINT CertificateMessageOf(CCertificateVerdict verdict)
{
    switch (verdict) {
    case CCertificateVerdict::WrongName: return IDS_PUBLISH_CERT_WRONG_NAME;
    case CCertificateVerdict::Expired: return IDS_PUBLISH_CERT_EXPIRED;
    case CCertificateVerdict::Revoked: return IDS_PUBLISH_CERT_REVOKED;
    default: return IDS_PUBLISH_CERTIFICATE;  // untrusted, or a fault that could not be told
    }
}

UINT MessageOf(const CCallResult& result)
{
    using Kind = CCallResult::Kind;
    switch (result.m_kind) {
    case Kind::Fault: return IsXmlRpcDisabled(result.m_nFaultCode) ? IDS_PUBLISH_XMLRPC_DISABLED : IDS_PUBLISH_FAULT;
    case Kind::NotXmlRpc: return IDS_PUBLISH_NOT_XMLRPC;
    case Kind::Unreachable: return IDS_PUBLISH_UNREACHABLE;
    case Kind::TimedOut: return IDS_PUBLISH_TIMED_OUT;
    case Kind::Certificate: return CertificateMessageOf(result.m_certificate);
    case Kind::Insecure: return IDS_PUBLISH_INSECURE;
    case Kind::OtherOrigin: return IDS_PUBLISH_OTHER_ORIGIN;
    case Kind::NeedsApplicationPassword: return IDS_PUBLISH_APP_PASSWORD;
    case Kind::NeedsHttps: return IDS_PUBLISH_REST_NEEDS_HTTPS;
    case Kind::BadAddress: return IDS_PUBLISH_BAD_ADDRESS;
    case Kind::BlogElsewhere: return IDS_PUBLISH_BLOG_ELSEWHERE;
    case Kind::BlogInsecure: return IDS_PUBLISH_BLOG_INSECURE;
    case Kind::NoHostedBlogs: return IDS_PUBLISH_NO_HOSTED_BLOGS;
    case Kind::ProxyRefused: return IDS_PUBLISH_PROXY_LOGIN;
    default: return IDS_PUBLISH_FAILED;
    }
}

// The window the user is looking at, if it is one of this process's.
HWND OwnerWindow()
{
    if (HWND active = ::GetActiveWindow())
        return active;
    HWND foreground = ::GetForegroundWindow();
    DWORD process = 0;
    if (foreground && ::GetWindowThreadProcessId(foreground, &process) && process == ::GetCurrentProcessId())
        return foreground;
    return nullptr;
}

}  // namespace

std::string ServerText(const std::string& utf8, const std::string& password)
{
    // Masked before anything is cut, so no part of the password survives at the cut.
    std::string masked = utf8;
    ReplaceAll(masked, Utf8FromAnsi(password), "***");
    std::wstring wide = WideFromUtf8(masked);
    bool cut = false;
    if (wide.size() > kMaxServerText) {
        std::size_t keep = kMaxServerText;
        if (keep > 0 && wide[keep - 1] >= 0xD800 && wide[keep - 1] <= 0xDBFF)
            --keep;  // never half a surrogate pair
        wide.resize(keep);
        cut = true;
    }
    std::string text = AnsiFromWideText(wide);
    // The code page may have turned other characters into the password's.
    ReplaceAll(text, password, "***");
    return cut ? text + "..." : text;
}

std::string FailureText(const CCallResult& result, const std::string& url, const std::string& password)
{
    std::string text = LoadText(MessageOf(result));
    ReplaceAll(text, "%s", AnsiFromWideText(WideFromUtf8(AddressForDisplay(url))));
    ReplaceAll(text, "%t", AnsiFromWideText(WideFromUtf8(AddressForDisplay(result.m_strLocation))));
    if (result.m_kind == CCallResult::Kind::Fault && !IsXmlRpcDisabled(result.m_nFaultCode))
        text += "\n\n" + ServerText(result.m_strFault, password);
    return text;
}

void ShowFailureNotice(const std::string& text, HWND hOwner)
{
    ::MessageBoxA(hOwner ? hOwner : OwnerWindow(), text.c_str(), LoadText(IDS_PUBLISH_CAPTION).c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace qtvpublish
