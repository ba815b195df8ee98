#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#define CERT_REVOCATION_PARA_HAS_EXTRA_FIELDS
#define SECURITY_WIN32
#include <winsock2.h>
#include <ws2tcpip.h>

#include "qtvpublish/real/ServerCertificate.h"

#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <memory>
#include <string>
#include <vector>

namespace qtvpublish {

namespace {

struct CWinsock {
    CWinsock() { m_bStarted = ::WSAStartup(MAKEWORD(2, 2), &m_data) == 0; }
    ~CWinsock()
    {
        if (m_bStarted)
            ::WSACleanup();
    }
    CWinsock(const CWinsock&) = delete;
    CWinsock& operator=(const CWinsock&) = delete;
    WSADATA m_data = {};
    bool m_bStarted = false;
};

struct CSocket {
    ~CSocket()
    {
        if (m_socket != INVALID_SOCKET)
            ::closesocket(m_socket);
    }
    SOCKET m_socket = INVALID_SOCKET;
};

struct CAddressesDeleter {
    void operator()(ADDRINFOW* addresses) const { ::FreeAddrInfoW(addresses); }
};

struct CCredentials {
    ~CCredentials()
    {
        if (m_bValid)
            ::FreeCredentialsHandle(&m_handle);
    }
    CredHandle m_handle = {};
    bool m_bValid = false;
};

struct CSecurityContext {
    ~CSecurityContext()
    {
        if (m_bValid)
            ::DeleteSecurityContext(&m_handle);
    }
    CtxtHandle m_handle = {};
    bool m_bValid = false;
};

struct CContextBuffer {
    ~CContextBuffer()
    {
        if (m_pData)
            ::FreeContextBuffer(m_pData);
    }
    void* m_pData = nullptr;
};

struct CCertificateDeleter {
    void operator()(PCCERT_CONTEXT certificate) const { ::CertFreeCertificateContext(certificate); }
};
using CCertificate = std::unique_ptr<const CERT_CONTEXT, CCertificateDeleter>;

struct CChainDeleter {
    void operator()(PCCERT_CHAIN_CONTEXT chain) const { ::CertFreeCertificateChain(chain); }
};
using CChain = std::unique_ptr<const CERT_CHAIN_CONTEXT, CChainDeleter>;

bool WaitFor(SOCKET socket, bool write, DWORD timeoutMs)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait = {static_cast<long>(timeoutMs / 1000), static_cast<long>((timeoutMs % 1000) * 1000)};
    return ::select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &wait) == 1;
}

// Connects to host:port within timeoutMs, trying each of its addresses.
bool Connect(const std::wstring& host, unsigned short port, DWORD timeoutMs, CSocket& connected)
{
    ADDRINFOW hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    ADDRINFOW* found = nullptr;
    if (::GetAddrInfoW(host.c_str(), std::to_wstring(port).c_str(), &hints, &found) != 0 || !found)
        return false;
    const std::unique_ptr<ADDRINFOW, CAddressesDeleter> addresses(found);
    for (const ADDRINFOW* address = found; address; address = address->ai_next) {
        CSocket attempt;
        attempt.m_socket = ::socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (attempt.m_socket == INVALID_SOCKET)
            continue;
        u_long nonBlocking = 1;
        ::ioctlsocket(attempt.m_socket, FIONBIO, &nonBlocking);
        if (::connect(attempt.m_socket, address->ai_addr, static_cast<int>(address->ai_addrlen)) != 0 &&
            (::WSAGetLastError() != WSAEWOULDBLOCK || !WaitFor(attempt.m_socket, true, timeoutMs)))
            continue;
        int error = 0;
        int size = sizeof error;
        if (::getsockopt(attempt.m_socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 ||
            error != 0)
            continue;
        connected.m_socket = attempt.m_socket;
        attempt.m_socket = INVALID_SOCKET;
        return true;
    }
    return false;
}

bool SendAll(SOCKET socket, const void* data, unsigned long size, DWORD timeoutMs)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (!WaitFor(socket, true, timeoutMs))
            return false;
        const int sent = ::send(socket, bytes, static_cast<int>(size), 0);
        if (sent <= 0)
            return false;
        bytes += sent;
        size -= static_cast<unsigned long>(sent);
    }
    return true;
}

// The handshake up to the server's certificate, which Schannel hands over
// unchecked (manual validation): it is checked below, for every fault at once.
CCertificate FetchCertificate(const std::wstring& host, unsigned short port, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    auto left = [deadline]() -> DWORD {
        const ULONGLONG now = ::GetTickCount64();
        return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    };
    CSocket connection;
    if (!Connect(host, port, timeoutMs, connection))
        return nullptr;

    SCHANNEL_CRED settings = {};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    CCredentials credentials;
    credentials.m_bValid = ::AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                                       SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr, nullptr,
                                                       &credentials.m_handle, nullptr) == SEC_E_OK;
    if (!credentials.m_bValid)
        return nullptr;

    const ULONG wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                         ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;
    CSecurityContext context;
    std::vector<char> received;
    std::wstring target = host;
    for (int round = 0; round < 32; ++round) {
        SecBuffer in[2] = {};
        in[0].BufferType = SECBUFFER_TOKEN;
        in[0].pvBuffer = received.data();
        in[0].cbBuffer = static_cast<unsigned long>(received.size());
        in[1].BufferType = SECBUFFER_EMPTY;
        SecBufferDesc inDesc = {SECBUFFER_VERSION, 2, in};
        SecBuffer out[1] = {};
        out[0].BufferType = SECBUFFER_TOKEN;
        SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, out};
        ULONG got = 0;
        const SECURITY_STATUS status = ::InitializeSecurityContextW(
            &credentials.m_handle, context.m_bValid ? &context.m_handle : nullptr, &target[0], wanted, 0, 0,
            context.m_bValid ? &inDesc : nullptr, 0, context.m_bValid ? nullptr : &context.m_handle, &outDesc, &got,
            nullptr);
        if (!context.m_bValid && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED))
            context.m_bValid = true;
        CContextBuffer token;
        token.m_pData = out[0].pvBuffer;
        if (status != SEC_E_INCOMPLETE_MESSAGE && out[0].cbBuffer > 0 && out[0].pvBuffer &&
            !SendAll(connection.m_socket, out[0].pvBuffer, out[0].cbBuffer, left()))
            return nullptr;
        if (status == SEC_E_OK)
            break;
        if (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_INCOMPLETE_MESSAGE) {
            if (status == SEC_I_CONTINUE_NEEDED) {
                // What the server sent beyond this step is the start of the next.
                if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer <= received.size())
                    received.erase(received.begin(), received.end() - in[1].cbBuffer);
                else
                    received.clear();
                if (!received.empty())
                    continue;
            }
            if (received.size() > (1u << 20) || left() == 0 || !WaitFor(connection.m_socket, false, left()))
                return nullptr;
            char chunk[16384];
            const int read = ::recv(connection.m_socket, chunk, sizeof chunk, 0);
            if (read <= 0)
                return nullptr;
            received.insert(received.end(), chunk, chunk + read);
            continue;
        }
        return nullptr;
    }
    if (!context.m_bValid)
        return nullptr;
    PCCERT_CONTEXT certificate = nullptr;
    if (::QueryContextAttributesW(&context.m_handle, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK)
        return nullptr;
    return CCertificate(certificate);
}

enum class CRevocation { Good, Revoked, Unknown };

struct CCrlDeleter {
    void operator()(PCCRL_CONTEXT crl) const { ::CertFreeCRLContext(crl); }
};
using CCrl = std::unique_ptr<const CRL_CONTEXT, CCrlDeleter>;

// The revocation lists the certificate names, as they are served (or as the
// platform keeps a copy until their next update), each believed only when
// its issuer signed it and it is not past its next update: the list itself
// is read here, never a remembered answer about the certificate.
CRevocation RevocationFromLists(PCCERT_CONTEXT certificate, PCCERT_CONTEXT issuer, DWORD timeoutMs, bool& named)
{
    named = false;
    DWORD size = 0;
    if (!::CryptGetObjectUrl(URL_OID_CERTIFICATE_CRL_DIST_POINT, const_cast<CERT_CONTEXT*>(certificate),
                             CRYPT_GET_URL_FROM_EXTENSION, nullptr, &size, nullptr, nullptr, nullptr) ||
        size < sizeof(CRYPT_URL_ARRAY))
        return CRevocation::Unknown;
    std::vector<BYTE> buffer(size);
    auto* urls = reinterpret_cast<CRYPT_URL_ARRAY*>(buffer.data());
    if (!::CryptGetObjectUrl(URL_OID_CERTIFICATE_CRL_DIST_POINT, const_cast<CERT_CONTEXT*>(certificate),
                             CRYPT_GET_URL_FROM_EXTENSION, urls, &size, nullptr, nullptr, nullptr))
        return CRevocation::Unknown;
    named = urls->cUrl > 0;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (DWORD i = 0; i < urls->cUrl; ++i) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            break;
        void* object = nullptr;
        if (!::CryptRetrieveObjectByUrlW(urls->rgwszUrl[i], CONTEXT_OID_CRL, 0,
                                         static_cast<DWORD>(deadline - now), &object, nullptr, nullptr, nullptr,
                                         nullptr) ||
            !object)
            continue;
        const CCrl crl(static_cast<PCCRL_CONTEXT>(object));
        if (!::CryptVerifyCertificateSignatureEx(0, X509_ASN_ENCODING, CRYPT_VERIFY_CERT_SIGN_SUBJECT_CRL,
                                                 const_cast<CRL_CONTEXT*>(crl.get()),
                                                 CRYPT_VERIFY_CERT_SIGN_ISSUER_CERT,
                                                 const_cast<CERT_CONTEXT*>(issuer), 0, nullptr))
            continue;
        FILETIME current;
        ::GetSystemTimeAsFileTime(&current);
        const FILETIME& next = crl->pCrlInfo->NextUpdate;
        if ((next.dwLowDateTime || next.dwHighDateTime) && ::CompareFileTime(&current, &next) > 0)
            continue;
        PCRL_ENTRY entry = nullptr;
        if (!::CertFindCertificateInCRL(certificate, crl.get(), 0, nullptr, &entry))
            continue;
        return entry ? CRevocation::Revoked : CRevocation::Good;
    }
    return CRevocation::Unknown;
}

CRevocation RevocationOf(PCCERT_CONTEXT certificate, PCCERT_CONTEXT issuer, DWORD timeoutMs)
{
    bool named = false;
    const CRevocation fromLists = RevocationFromLists(certificate, issuer, timeoutMs, named);
    if (named)
        return fromLists;
    // No list named: the platform may know another way (an OCSP responder).
    CERT_REVOCATION_PARA para = {};
    para.cbSize = sizeof para;
    para.pIssuerCert = issuer;
    para.dwUrlRetrievalTimeout = timeoutMs;
    CERT_REVOCATION_STATUS status = {};
    status.cbSize = sizeof status;
    void* subject = const_cast<CERT_CONTEXT*>(certificate);
    if (::CertVerifyRevocation(X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, CERT_CONTEXT_REVOCATION_TYPE, 1, &subject,
                               0, &para, &status))
        return CRevocation::Good;
    return status.dwError == static_cast<DWORD>(CRYPT_E_REVOKED) ? CRevocation::Revoked : CRevocation::Unknown;
}

}  // namespace

bool CheckServerCertificate(const std::wstring& host, unsigned short port, DWORD timeoutMs,
                            CCertificateChecks& checks)
{
    const CWinsock winsock;
    if (!winsock.m_bStarted)
        return false;
    const CCertificate certificate = FetchCertificate(host, port, timeoutMs);
    if (!certificate)
        return false;

    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    chainPara.dwUrlRetrievalTimeout = timeoutMs;
    PCCERT_CHAIN_CONTEXT chainContext = nullptr;
    if (!::CertGetCertificateChain(nullptr, certificate.get(), nullptr, certificate->hCertStore, &chainPara,
                                   CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT, nullptr, &chainContext))
        return false;
    const CChain chain(chainContext);

    const DWORD status = chain->TrustStatus.dwErrorStatus;
    const DWORD untrusted = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                            CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC | CERT_TRUST_IS_EXPLICIT_DISTRUST;
    const DWORD expired = CERT_TRUST_IS_NOT_TIME_VALID | CERT_TRUST_CTL_IS_NOT_TIME_VALID;
    const DWORD unknown = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    checks.m_bUntrusted = (status & untrusted) != 0;
    checks.m_bExpired = (status & expired) != 0;
    checks.m_bRevoked = (status & CERT_TRUST_IS_REVOKED) != 0;
    checks.m_bRevocationUnknown = (status & unknown) != 0;
    checks.m_bOther = (status & ~(untrusted | expired | unknown | CERT_TRUST_IS_REVOKED)) != 0;

    // The server's own certificate is asked about against its issuer here,
    // not left to the chain engine alone: Wine's remembers every revocation
    // list's answer for a certificate as "not revoked" and gives that to
    // every later check, in this process and the next.
    const CERT_SIMPLE_CHAIN* simple = chain->cChain > 0 ? chain->rgpChain[0] : nullptr;
    switch (simple && simple->cElement > 1
                ? RevocationOf(certificate.get(), simple->rgpElement[1]->pCertContext, timeoutMs)
                : CRevocation::Unknown) {
    case CRevocation::Revoked:
        checks.m_bRevoked = true;
        break;
    case CRevocation::Unknown:
        checks.m_bRevocationUnknown = true;
        break;
    case CRevocation::Good:
        break;
    }

    // The name alone: every other fault is read from the chain above.
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = 0x00000080 /* revocation */ | 0x00000100 /* unknown authority */ |
                    0x00000200 /* wrong usage */ | 0x00002000 /* date */;
    std::wstring name = host;
    ssl.pwszServerName = &name[0];
    CERT_CHAIN_POLICY_PARA policyPara = {};
    policyPara.cbSize = sizeof policyPara;
    policyPara.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS policy = {};
    policy.cbSize = sizeof policy;
    if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policyPara, &policy))
        return false;
    checks.m_bWrongName = policy.dwError == static_cast<DWORD>(CERT_E_CN_NO_MATCH);
    return true;
}

}  // namespace qtvpublish
