#include "qtvpublish/real/CertificateRules.h"

namespace qtvpublish {

CCertificateVerdict JudgeCertificate(const CCertificateChecks& checks)
{
    if (checks.m_bUntrusted)
        return CCertificateVerdict::Untrusted;
    if (checks.m_bRevoked)
        return CCertificateVerdict::Revoked;
    if (checks.m_bExpired)
        return CCertificateVerdict::Expired;
    if (checks.m_bWrongName)
        return CCertificateVerdict::WrongName;
    if (checks.m_bOther)
        return CCertificateVerdict::Refused;
    return checks.m_bRevocationUnknown ? CCertificateVerdict::AcceptedRevocationUnknown
                                       : CCertificateVerdict::Accepted;
}

bool IsAccepted(CCertificateVerdict verdict)
{
    return verdict == CCertificateVerdict::Accepted || verdict == CCertificateVerdict::AcceptedRevocationUnknown;
}

}  // namespace qtvpublish
