#pragma once
// Which proxy one export call goes through, decided once for the call: the
// user's automatic configuration (a configuration script or discovery),
// else the user's fixed proxy, else the machine's WinHTTP proxy, else none.
#include <windows.h>

#include <string>

namespace qtvpublish {

struct CProxyChoice {
    bool m_bNamed = false;     // false: straight to the server
    std::wstring m_strProxy;   // as WINHTTP_PROXY_INFO takes it
    std::wstring m_strBypass;
};

// waitMs bounds the automatic look-up, which may fetch a script from the
// network: when it takes longer it is left to end on its own and the
// user's fixed proxy or the machine's applies. Windows credentials are
// offered to the script's server only after it refused the look-up without
// them.
CProxyChoice ResolveProxy(const std::wstring& url, DWORD waitMs);

}  // namespace qtvpublish
