#pragma once
// Why a server's certificate is refused. Not every WinHTTP says (Wine's
// answers every certificate fault with the same secure-channel error and no
// detail), so the certificate is fetched with a TLS handshake of our own,
// after which nothing is sent, and its chain is checked here for the host
// name, with revocation.
#include <windows.h>

#include <string>

#include "qtvpublish/real/CertificateRules.h"

namespace qtvpublish {

// False when no certificate could be had within timeoutMs (the server is
// gone, or speaks no TLS this system accepts).
bool CheckServerCertificate(const std::wstring& host, unsigned short port, DWORD timeoutMs,
                            CCertificateChecks& checks);

}  // namespace qtvpublish
