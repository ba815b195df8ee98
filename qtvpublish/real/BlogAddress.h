#pragma once
// Where the log-in may go when a blog list names each blog's own XML-RPC
// address. WordPress acts on the site a call is sent to, whatever blog id
// it names, so a post must go to the chosen blog's own address; but that
// address comes from a server's answer, and the password follows it.
#include <string>

namespace qtvpublish {

struct CAddressParts {
    bool m_bSecure = false;
    std::string m_strHost;  // lower case; an IPv6 literal keeps its brackets
    int m_nPort = 0;        // the scheme's default when none is written
    std::string m_strPath;  // from the first '/', '?' or '#'; may be empty
};

// Reads an absolute http or https address. Refused (false): another scheme,
// no host, user information ("user@host"), a port out of range, and any
// backslash, space, control or '%' character in the host part, which
// readers of addresses disagree about.
bool SplitAddress(const std::string& address, CAddressParts& parts);

enum class CBlogTrust {
    Trusted,
    OtherSite,  // not the listed-from site, nor a site under its host
    Insecure,   // under its host, but plain http to a host that is not this machine
};

// Whether the log-in given for listedFrom may go to a blog's own address:
// the same origin (any path: a subdirectory network), or https (plain http
// only on loopback) to the same host or a subdomain of it
// ("name.wordpress.com" under "wordpress.com"), on the listed-from port or
// the scheme's default. An address that cannot be read is another site.
CBlogTrust JudgeBlogAddress(const std::string& listedFrom, const std::string& blogAddress);

}  // namespace qtvpublish
