#include "qtvpublish/real/BlogAddress.h"

#include <cctype>

#include "qtvpublish/real/EndpointAddress.h"

namespace qtvpublish {

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsUnsafeHostCharacter(char ch)
{
    const unsigned char c = static_cast<unsigned char>(ch);
    return c <= 0x20 || c == 0x7F || c == '\\' || c == '%' || c == '@';
}

bool ReadPort(const std::string& digits, int& port)
{
    if (digits.empty() || digits.size() > 5)
        return false;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

// A dotted IPv4 or a bracketed IPv6 literal: no name has subdomains there.
bool IsAddressLiteral(const std::string& host)
{
    if (!host.empty() && host[0] == '[')
        return true;
    for (const char c : host)
        if (!(c == '.' || (c >= '0' && c <= '9')))
            return false;
    return true;
}

bool IsSameOrSubdomain(const std::string& host, const std::string& base)
{
    if (host == base)
        return true;
    if (IsAddressLiteral(base) || host.size() <= base.size() + 1)
        return false;
    return host.compare(host.size() - base.size(), base.size(), base) == 0 &&
           host[host.size() - base.size() - 1] == '.';
}

}  // namespace

bool SplitAddress(const std::string& address, CAddressParts& parts)
{
    const std::size_t schemeEnd = address.find("://");
    if (schemeEnd == std::string::npos)
        return false;
    const std::string scheme = Lower(address.substr(0, schemeEnd));
    if (scheme != "http" && scheme != "https")
        return false;
    const std::size_t hostStart = schemeEnd + 3;
    std::size_t authorityEnd = address.find_first_of("/?#", hostStart);
    if (authorityEnd == std::string::npos)
        authorityEnd = address.size();
    const std::string authority = address.substr(hostStart, authorityEnd - hostStart);
    for (const char c : authority)
        if (IsUnsafeHostCharacter(c))
            return false;
    // A backslash anywhere may be read as the end of the host by one reader and not by another.
    if (address.find('\\') != std::string::npos)
        return false;

    std::string host;
    std::string portText;
    if (!authority.empty() && authority[0] == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string::npos)
            return false;
        host = authority.substr(0, close + 1);
        if (close + 1 < authority.size()) {
            if (authority[close + 1] != ':')
                return false;
            portText = authority.substr(close + 2);
            if (portText.empty())
                return false;
        }
    } else {
        const std::size_t colon = authority.find(':');
        host = authority.substr(0, colon);
        if (colon != std::string::npos) {
            portText = authority.substr(colon + 1);
            if (portText.empty())
                return false;
        }
    }
    if (host.empty() || host == "[]")
        return false;
    parts.m_bSecure = scheme == "https";
    parts.m_strHost = Lower(host);
    parts.m_nPort = parts.m_bSecure ? 443 : 80;
    if (!portText.empty() && !ReadPort(portText, parts.m_nPort))
        return false;
    parts.m_strPath = address.substr(authorityEnd);
    return true;
}

CBlogTrust JudgeBlogAddress(const std::string& listedFrom, const std::string& blogAddress)
{
    CAddressParts from;
    CAddressParts to;
    if (!SplitAddress(listedFrom, from) || !SplitAddress(blogAddress, to))
        return CBlogTrust::OtherSite;
    // Where the user sent the log-in already: a site of a subdirectory network.
    if (from.m_bSecure == to.m_bSecure && from.m_strHost == to.m_strHost && from.m_nPort == to.m_nPort)
        return CBlogTrust::Trusted;
    if (!IsSameOrSubdomain(to.m_strHost, from.m_strHost))
        return CBlogTrust::OtherSite;
    const int defaultPort = to.m_bSecure ? 443 : 80;
    if (to.m_nPort != from.m_nPort && to.m_nPort != defaultPort)
        return CBlogTrust::OtherSite;
    if (!to.m_bSecure && !IsLoopbackName(to.m_strHost))
        return CBlogTrust::Insecure;
    return CBlogTrust::Trusted;
}

}  // namespace qtvpublish
