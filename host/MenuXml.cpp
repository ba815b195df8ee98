#include "host/MenuXml.h"

namespace host {

namespace {
std::string Attribute(const std::string& tag, const std::string& name)
{
    const std::string key = " " + name + "=\"";
    const std::size_t start = tag.find(key);
    if (start == std::string::npos)
        return {};
    const std::size_t value = start + key.size();
    const std::size_t end = tag.find('"', value);
    return end == std::string::npos ? std::string() : tag.substr(value, end - value);
}
}  // namespace

std::vector<CMenuEntry> ParseMenuXml(const std::string& xml)
{
    std::vector<CMenuEntry> entries;
    std::size_t pos = 0;
    while ((pos = xml.find('<', pos)) != std::string::npos) {
        const std::size_t end = xml.find('>', pos);
        if (end == std::string::npos)
            break;
        const std::string tag = xml.substr(pos + 1, end - pos - 1);
        if (tag.compare(0, 13, "menuseparator") == 0) {
            entries.push_back({true, {}, {}, {}});
        } else if (tag.compare(0, 8, "menuitem") == 0) {
            entries.push_back({false, Attribute(tag, "label"), Attribute(tag, "id"), Attribute(tag, "icon")});
        }
        pos = end + 1;
    }
    return entries;
}

}  // namespace host
