#include "output/OutputRules.h"

#include <cctype>
#include <climits>

namespace output {

std::string BuildMenuXml(const std::string& sendLabel, const std::string& optionsLabel,
                         const std::string& helpLabel)
{
    std::string xml = "<menu>";
    xml += " <menuitem label=\"" + sendLabel + "\" id=\"0\" icon=\"WordPress.ico\" />";
    xml += "<menuseparator />";
    xml += " <menuitem label=\"" + optionsLabel + "\" id=\"1\" />";
    xml += " <menuitem label=\"" + helpLabel + "\" id=\"2\" />";
    xml += "</menu>";
    return xml;
}

int ParseCommandId(const std::string& id)
{
    std::size_t i = 0;
    while (i < id.size() && std::isspace(static_cast<unsigned char>(id[i])))
        ++i;
    bool negative = false;
    if (i < id.size() && (id[i] == '+' || id[i] == '-'))
        negative = id[i++] == '-';
    long long value = 0;
    for (; i < id.size() && std::isdigit(static_cast<unsigned char>(id[i])); ++i) {
        // Saturate instead of overflowing: a huge id is still "some other id".
        if (value < static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (id[i] - '0');
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<int>(value);
}

const char* ImageExtensionForFormat(long& formatCode)
{
    switch (formatCode) {
    case 0: return ".bmp";
    case 2: return ".tif";
    case 3: return ".jpg";
    case 4: return ".gif";
    case 5: return ".png";
    default:
        formatCode = 5;
        return ".png";
    }
}

std::string ReplaceTemporaryExtension(const std::string& tempPath, const std::string& extension)
{
    static const std::string kTmp = ".tmp";
    const std::size_t nameStart = tempPath.find_last_of("\\/:") == std::string::npos
                                      ? 0
                                      : tempPath.find_last_of("\\/:") + 1;
    const std::size_t pos = tempPath.rfind(kTmp);
    if (pos == std::string::npos || pos < nameStart)
        return tempPath + extension;
    std::string path = tempPath;
    path.replace(pos, kTmp.size(), extension);
    return path;
}

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    std::size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= text.size() ||
            std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

// Length of an http or https scheme with its "//", 0 for any other.
std::size_t WebSchemeLength(const std::string& address)
{
    if (StartsWithNoCase(address, "http://"))
        return 7;
    if (StartsWithNoCase(address, "https://"))
        return 8;
    return 0;
}

}  // namespace

std::string PopupDisplayText(const std::string& blogAddress)
{
    std::string text = blogAddress.substr(WebSchemeLength(blogAddress));
    if (StartsWithNoCase(text, "www."))
        text.erase(0, 4);
    return text;
}

bool IsWebAddress(const std::string& address)
{
    const std::size_t nScheme = WebSchemeLength(address);
    if (nScheme == 0)
        return false;
    for (char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        // No spaces, controls or bytes outside ASCII: the shell would read
        // them its own way.
        if (byte <= 0x20 || byte >= 0x7F || c == '\\' || c == '"')
            return false;
    }
    const std::size_t hostEnd = address.find_first_of("/?#", nScheme);
    const std::string authority = address.substr(nScheme, hostEnd == std::string::npos ? std::string::npos
                                                                                        : hostEnd - nScheme);
    const std::size_t at = authority.rfind('@');
    const std::string host = at == std::string::npos ? authority : authority.substr(at + 1);
    return !host.empty() && host[0] != ':' && host[0] != '.';
}

}  // namespace output
