#pragma once
// What a server certificate's checks decide for a connection. Revocation is
// a soft check: a certificate whose revocation could not be learnt (no
// revocation information in it, or its revocation server out of reach, as
// behind many company firewalls) is accepted when everything else holds; a
// certificate its issuer revoked, and every other fault, refuses the
// connection.
namespace qtvpublish {

// The outcome of checking one certificate chain for one host name.
struct CCertificateChecks {
    bool m_bUntrusted = false;          // no trusted root, a broken chain or a bad signature
    bool m_bExpired = false;            // outside its validity period (or an issuer's)
    bool m_bWrongName = false;          // not issued for the host name asked for
    bool m_bRevoked = false;            // revoked by its issuer
    bool m_bRevocationUnknown = false;  // revocation could not be checked
    bool m_bOther = false;              // any other fault (e.g. not for server authentication)
};

enum class CCertificateVerdict {
    Accepted,
    AcceptedRevocationUnknown,  // accepted without knowing its revocation
    Untrusted,
    Expired,
    WrongName,
    Revoked,
    Refused,  // another fault
};

// The most serious fault names the refusal: a certificate that is both
// untrusted and expired is reported as untrusted.
CCertificateVerdict JudgeCertificate(const CCertificateChecks& checks);

bool IsAccepted(CCertificateVerdict verdict);

}  // namespace qtvpublish
