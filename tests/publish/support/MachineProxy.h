#pragma once
// The machine's WinHTTP proxy for a test's life, put back afterwards: an
// address off this machine is then reached only through it, so the test sees
// every request and nothing leaves the machine.
#include <windows.h>
#include <winhttp.h>

#include <string>

namespace publish_test {

class CMachineProxy {
public:
    explicit CMachineProxy(const std::wstring& proxy)
    {
        m_bHadOld = ::WinHttpGetDefaultProxyConfiguration(&m_old) != FALSE;
        WINHTTP_PROXY_INFO info = {};
        info.dwAccessType = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        info.lpszProxy = const_cast<wchar_t*>(proxy.c_str());
        m_bSet = ::WinHttpSetDefaultProxyConfiguration(&info) != FALSE;
    }
    ~CMachineProxy()
    {
        WINHTTP_PROXY_INFO none = {};
        none.dwAccessType = WINHTTP_ACCESS_TYPE_NO_PROXY;
        ::WinHttpSetDefaultProxyConfiguration(m_bHadOld ? &m_old : &none);
        ::GlobalFree(m_old.lpszProxy);
        ::GlobalFree(m_old.lpszProxyBypass);
    }
    CMachineProxy(const CMachineProxy&) = delete;
    CMachineProxy& operator=(const CMachineProxy&) = delete;
    bool IsSet() const { return m_bSet; }

private:
    WINHTTP_PROXY_INFO m_old = {};
    bool m_bHadOld = false;
    bool m_bSet = false;
};

}  // namespace publish_test
