#include "qtvpublish/real/EndpointAddress.h"

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

}  // namespace

std::string JoinEndpoint(const std::string& serverText, const std::string& endpointText)
{
    std::string server = Trim(serverText);
    std::string endpoint = Trim(endpointText);
    if (HasScheme(endpoint))
        return endpoint;
    if (server.empty())
        return std::string();
    if (!HasScheme(server))
        server = "http://" + server;
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

}  // namespace qtvpublish
