#include "qtvpublish/real/PostBody.h"

namespace qtvpublish {

namespace {

std::string AttributeText(const std::string& address)
{
    std::string out;
    for (const char c : address) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string FillImageAddress(const std::string& body, const std::string& address)
{
    const std::string value = AttributeText(address);
    std::string out;
    out.reserve(body.size() + 2 * value.size());
    std::size_t from = 0;
    for (std::size_t at; (at = body.find("%s", from)) != std::string::npos; from = at + 2) {
        out.append(body, from, at - from);
        out += value;
    }
    out.append(body, from, std::string::npos);
    return out;
}

}  // namespace qtvpublish
