#pragma once
// Addresses as WinHTTP reads them, and the rule for where a call carrying
// the user's log-in may go next: only to the origin it started at, or from
// http up to https on the same host.
#include <windows.h>
#include <winhttp.h>

#include <string>

namespace qtvpublish {

struct CUrlParts {
    bool m_bSecure = false;
    std::wstring m_strHost;
    INTERNET_PORT m_nPort = 0;
    std::wstring m_strPath;  // path and query, never empty
};

// False unless the address is an absolute http or https address with a host.
bool CrackUrl(const std::wstring& url, CUrlParts& parts);

// A redirect's Location as an absolute address, read against the address
// that was answered: absolute, scheme-relative ("//host/..."), from the
// root ("/...") or relative to the answered path's folder. Any fragment is
// dropped. Empty when there is nothing to follow.
std::wstring ResolveLocation(const std::wstring& from, const std::wstring& location);

enum class CHop { SameOrigin, Upgrade, Downgrade, OtherOrigin };
// How the target relates to where the call is: the same scheme, host and
// port; http to https on the same host; https to http on the same host; or
// somewhere else.
CHop ClassifyHop(const CUrlParts& from, const CUrlParts& to);
inline bool MayFollow(CHop hop) { return hop == CHop::SameOrigin || hop == CHop::Upgrade; }

}  // namespace qtvpublish
