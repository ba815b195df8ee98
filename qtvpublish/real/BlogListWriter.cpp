#include "qtvpublish/real/BlogListWriter.h"

#include <cstring>

#include "settings/QTVXmlString.h"

namespace qtvpublish {

namespace {

void AppendElement(std::string& out, const char* name, std::string value)
{
    QTVXmlString::EscapeText(value);
    out += '<';
    out += name;
    out += '>';
    out += value;
    out += "</";
    out += name;
    out += '>';
}

}  // namespace

void CBlogListWriter::Add(const CBlogEntry& entry)
{
    std::string object = "<Blog_Object>";
    AppendElement(object, "BlogId", entry.m_strId);
    AppendElement(object, "BlogName", entry.m_strName);
    AppendElement(object, "BlogAddress", entry.m_strAddress);
    object += "</Blog_Object>";
    m_objects.push_back(std::move(object));
}

std::string CBlogListWriter::Text(std::size_t capacity) const
{
    static const char kOpen[] = "<Blogs>";
    static const char kClose[] = "</Blogs>";
    const std::size_t closeLength = sizeof kClose - 1;
    if (capacity < sizeof kOpen - 1 + closeLength)
        return std::string();
    std::string text = kOpen;
    for (const std::string& object : m_objects) {
        if (text.size() + object.size() + closeLength > capacity)
            break;
        text += object;
    }
    text += kClose;
    return text;
}

std::size_t CBlogListWriter::WriteTo(char* buffer, std::size_t capacity) const
{
    if (!buffer)
        return 0;
    const std::string text = Text(capacity);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return text.size();
}

}  // namespace qtvpublish
