#include "qtvpublish/real/UrlRules.h"

#include <cwctype>

namespace qtvpublish {

namespace {

bool SameText(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

// RFC 3986's scheme: a letter, then letters, digits, '+', '-' or '.', then
// ':' before any '/', '?' or '#'. Only used to tell an address of another
// scheme ("ftp:", "file:") from a relative one, which WinHTTP rejects alike.
bool HasAnyScheme(const std::wstring& text)
{
    if (text.empty() || !std::iswalpha(text[0]))
        return false;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L':')
            return true;
        if (!(std::iswalnum(c) || c == L'+' || c == L'-' || c == L'.'))
            return false;
    }
    return false;
}

std::wstring Origin(const CUrlParts& parts)
{
    return std::wstring(parts.m_bSecure ? L"https://" : L"http://") + parts.m_strHost + L":" +
           std::to_wstring(parts.m_nPort);
}

}  // namespace

bool CrackUrl(const std::wstring& url, CUrlParts& parts)
{
    URL_COMPONENTS uc = {};
    uc.dwStructSize = sizeof uc;
    uc.dwSchemeLength = uc.dwHostNameLength = uc.dwUrlPathLength = uc.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (url.empty() || !::WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &uc))
        return false;
    if (uc.nScheme != INTERNET_SCHEME_HTTP && uc.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    if (!uc.lpszHostName || uc.dwHostNameLength == 0)
        return false;
    parts.m_bSecure = uc.nScheme == INTERNET_SCHEME_HTTPS;
    parts.m_strHost.assign(uc.lpszHostName, uc.dwHostNameLength);
    parts.m_nPort = uc.nPort;
    parts.m_strPath.assign(uc.lpszUrlPath ? uc.lpszUrlPath : L"", uc.dwUrlPathLength);
    if (uc.lpszExtraInfo)
        parts.m_strPath.append(uc.lpszExtraInfo, uc.dwExtraInfoLength);
    const std::size_t hash = parts.m_strPath.find(L'#');
    if (hash != std::wstring::npos)
        parts.m_strPath.erase(hash);
    if (parts.m_strPath.empty() || parts.m_strPath[0] != L'/')
        parts.m_strPath.insert(0, L"/");
    return true;
}

std::wstring ResolveLocation(const std::wstring& from, const std::wstring& locationText)
{
    std::wstring location = locationText.substr(0, locationText.find(L'#'));
    while (!location.empty() && (location.back() == L' ' || location.back() == L'\t'))
        location.pop_back();
    if (location.empty())
        return std::wstring();
    CUrlParts target;
    if (CrackUrl(location, target) || HasAnyScheme(location))
        return location;  // absolute; another scheme than http(s) is refused by the caller
    CUrlParts base;
    if (!CrackUrl(from, base))
        return std::wstring();
    if (location.compare(0, 2, L"//") == 0)
        return std::wstring(base.m_bSecure ? L"https:" : L"http:") + location;
    if (location[0] == L'/')
        return Origin(base) + location;
    const std::wstring path = base.m_strPath.substr(0, base.m_strPath.find(L'?'));
    if (location[0] == L'?')
        return Origin(base) + path + location;
    return Origin(base) + path.substr(0, path.rfind(L'/') + 1) + location;
}

CHop ClassifyHop(const CUrlParts& from, const CUrlParts& to)
{
    if (!SameText(from.m_strHost, to.m_strHost))
        return CHop::OtherOrigin;
    if (from.m_bSecure == to.m_bSecure)
        return from.m_nPort == to.m_nPort ? CHop::SameOrigin : CHop::OtherOrigin;
    return to.m_bSecure ? CHop::Upgrade : CHop::Downgrade;
}

}  // namespace qtvpublish
