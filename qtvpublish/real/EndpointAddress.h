#pragma once
// Where a self-hosted blog (type 2) answers XML-RPC: the server argument and
// the endpoint argument joined into one address.
#include <string>

namespace qtvpublish {

// "https://" is assumed when the server names no scheme ("http://" for a
// loopback host: 127.x.x.x, localhost, [::1]); exactly one '/'
// joins server and endpoint; an empty endpoint leaves the server as it is.
// An endpoint that is itself a full address wins. Empty when both are empty.
std::string JoinEndpoint(const std::string& server, const std::string& endpoint);

// The address without any "user:password@" part, for messages.
std::string AddressForDisplay(const std::string& address);

// 127.x.x.x, localhost or the IPv6 loopback ("::1", "[::1]"): this machine.
bool IsLoopbackName(const std::string& host);

}  // namespace qtvpublish
