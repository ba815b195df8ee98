#include "qtvpublish/real/RestRules.h"

#include <cctype>
#include <cstdio>

namespace qtvpublish {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Whether a rel value (space-separated relation types) holds the API's.
bool NamesRestRelation(const std::string& relValue)
{
    std::size_t at = 0;
    while (at < relValue.size()) {
        while (at < relValue.size() && IsSpace(relValue[at]))
            ++at;
        std::size_t end = at;
        while (end < relValue.size() && !IsSpace(relValue[end]))
            ++end;
        if (end > at && Lower(relValue.substr(at, end - at)) == kRestLinkRelation)
            return true;
        at = end;
    }
    return false;
}

}  // namespace

std::string RestRootFromLinks(const std::string& links)
{
    std::size_t at = 0;
    const std::size_t n = links.size();
    while (at < n) {
        while (at < n && (IsSpace(links[at]) || links[at] == ','))
            ++at;
        if (at >= n || links[at] != '<')
            return std::string();
        const std::size_t close = links.find('>', at + 1);
        if (close == std::string::npos)
            return std::string();
        const std::string target = links.substr(at + 1, close - at - 1);
        at = close + 1;
        bool isRest = false;
        // Parameters up to the next link: ;name=value or ;name="quoted, value".
        while (at < n && links[at] != ',') {
            if (links[at] != ';') {
                ++at;
                continue;
            }
            ++at;
            while (at < n && IsSpace(links[at]))
                ++at;
            std::size_t nameEnd = at;
            while (nameEnd < n && links[nameEnd] != '=' && links[nameEnd] != ';' && links[nameEnd] != ',' &&
                   !IsSpace(links[nameEnd]))
                ++nameEnd;
            const std::string name = Lower(links.substr(at, nameEnd - at));
            at = nameEnd;
            while (at < n && IsSpace(links[at]))
                ++at;
            std::string value;
            if (at < n && links[at] == '=') {
                ++at;
                while (at < n && IsSpace(links[at]))
                    ++at;
                if (at < n && links[at] == '"') {
                    ++at;
                    while (at < n && links[at] != '"') {
                        if (links[at] == '\\' && at + 1 < n)
                            ++at;
                        value += links[at++];
                    }
                    if (at < n)
                        ++at;
                } else {
                    while (at < n && links[at] != ';' && links[at] != ',')
                        value += links[at++];
                }
            }
            if (name == "rel" && NamesRestRelation(value))
                isRest = true;
        }
        if (isRest)
            return target;
    }
    return std::string();
}

std::string SiteOf(const std::string& xmlRpcUrl)
{
    std::string url = xmlRpcUrl.substr(0, xmlRpcUrl.find_first_of("?#"));
    const std::size_t scheme = url.find("://");
    const std::size_t pathStart = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
    if (pathStart == std::string::npos)
        return url + "/";
    const std::size_t lastSlash = url.rfind('/');
    const std::string last = url.substr(lastSlash + 1);
    // A file ("xmlrpc.php") goes; a folder written without its slash stays.
    if (last.find('.') != std::string::npos || last.empty())
        return url.substr(0, lastSlash + 1);
    return url + "/";
}

std::string RestRoute(const std::string& root, const std::string& route)
{
    std::string out = root;
    if (out.empty() || out.back() != '/')
        out += '/';
    std::size_t skip = 0;
    while (skip < route.size() && route[skip] == '/')
        ++skip;
    return out + route.substr(skip);
}

std::string WithQuery(const std::string& url, const std::string& parameter)
{
    return url + (url.find('?') == std::string::npos ? "?" : "&") + parameter;
}

std::string ContentDispositionFor(const std::string& utf8FileName)
{
    std::string ascii;
    std::string encoded;
    bool plain = true;
    for (const char ch : utf8FileName) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '"' || c == '\\' || c == '/')
            continue;
        if (c >= 0x80) {
            plain = false;
            ascii += '_';
        } else {
            ascii += ch;
        }
        if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
            encoded += ch;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            encoded += hex;
        }
    }
    if (ascii.empty())
        ascii = "capture";
    std::string header = "attachment; filename=\"" + ascii + "\"";
    if (!plain)
        header += "; filename*=UTF-8''" + encoded;
    return header;
}

bool LooksLikeApplicationPassword(const std::string& password)
{
    std::size_t letters = 0;
    for (const char ch : password) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) && c < 0x80)
            ++letters;
        else if (c != ' ')
            return false;
    }
    return letters == 24;
}

std::string ApplicationPasswordsPage(const std::string& site)
{
    return RestRoute(site, "wp-admin/profile.php#application-passwords-section");
}

}  // namespace qtvpublish
