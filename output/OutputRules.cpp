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

}  // namespace output
