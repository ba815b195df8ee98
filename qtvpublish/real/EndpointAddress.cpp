#include "qtvpublish/real/EndpointAddress.h"

#include <cctype>

namespace qtvpublish {

namespace {

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool HasScheme(const std::string& text)
{
    return text.find("://") != std::string::npos;
}

// The host a scheme-less server names: up to its port, path or query.
std::string HostOf(const std::string& server)
{
    if (!server.empty() && server[0] == '[')
        return server.substr(0, server.find(']') + 1);
    return server.substr(0, server.find_first_of(":/?#"));
}

}  // namespace

std::string JoinEndpoint(const std::string& serverText, const std::string& endpointText)
{
    std::string server = Trim(serverText);
    std::string endpoint = Trim(endpointText);
    if (HasScheme(endpoint))
        return endpoint;
    if (server.empty())
        return std::string();
    // The log-in travels with every call: never in clear unless the user
    // wrote "http://" or the blog is on this machine.
    if (!HasScheme(server))
        server = (IsLoopbackName(HostOf(server)) ? "http://" : "https://") + server;
    if (endpoint.empty())
        return server;
    while (!server.empty() && server.back() == '/')
        server.pop_back();
    std::size_t skip = 0;
    while (skip < endpoint.size() && endpoint[skip] == '/')
        ++skip;
    return server + "/" + endpoint.substr(skip);
}

std::string AddressForDisplay(const std::string& address)
{
    const std::size_t scheme = address.find("://");
    const std::size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
    const std::size_t hostEnd = address.find_first_of("/?#", hostStart);
    const std::size_t at = address.rfind('@', hostEnd == std::string::npos ? std::string::npos : hostEnd);
    if (at == std::string::npos || at < hostStart)
        return address;
    return address.substr(0, hostStart) + address.substr(at + 1);
}

bool IsLoopbackName(const std::string& hostText)
{
    std::string host = hostText;
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (host == "localhost" || host == "[::1]" || host == "::1")
        return true;
    if (host.compare(0, 4, "127.") != 0)
        return false;
    int dots = 0;
    for (const char c : host) {
        if (c == '.')
            ++dots;
        else if (c < '0' || c > '9')
            return false;
    }
    return dots == 3;
}

}  // namespace qtvpublish
