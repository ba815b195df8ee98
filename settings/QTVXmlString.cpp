#include "settings/QTVXmlString.h"

#include <climits>
#include <cstring>

#include "settings/CodePage.h"

namespace {

// Bytes taken by the character that starts at text[i]; a lead byte with
// nothing after it is a character of its own.
inline int CharSize(const std::string& text, std::size_t i)
{
    return i + 1 < text.size() && settings::IsLeadByte(text[i]) ? 2 : 1;
}

inline bool SingleByte()
{
    return &settings::CurrentCodePage() == &settings::SingleByteCodePage();
}

inline bool StartsWith(const std::string& text, std::size_t at, const char* prefix, std::size_t length)
{
    return text.size() - at >= length && text.compare(at, length, prefix) == 0;
}

// Markup rather than character data: holds a quote or an angle bracket.
bool HoldsMarkup(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); i += CharSize(text, i)) {
        const char c = text[i];
        if (c == '"' || c == '\'' || c == '<' || c == '>')
            return true;
    }
    return false;
}

}  // namespace

QTVXmlString::QTVXmlString(const std::wstring& text) : std::string(settings::FromUtf16(text))
{
}

std::string QTVXmlString::GetIndent() const
{
    std::string indent;
    if (m_bIndent)
        for (int i = 0; i < m_nIndentLevel; ++i)
            indent += m_strIndentUnit;
    return indent;
}

int QTVXmlString::AddIndent(int delta)
{
    m_nIndentLevel += delta;
    return delta;
}

char* QTVXmlString::GetBuffer(std::size_t capacity)
{
    // Zero-filled, so a filler that stops short without a NUL still ends.
    assign(capacity + 1, '\0');
    return &(*this)[0];
}

void QTVXmlString::ReleaseBuffer()
{
    const void* nul = std::memchr(data(), '\0', size());
    if (nul)
        resize(static_cast<std::size_t>(static_cast<const char*>(nul) - data()));
}

void QTVXmlString::EscapeText(std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const int n = CharSize(text, i);
        if (n == 1) {
            switch (text[i]) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += text[i]; break;
            }
        } else {
            out.append(text, i, 2);
        }
        i += n;
    }
    text.swap(out);
}

void QTVXmlString::UnescapeText(std::string& text)
{
    struct Entity {
        const char* name;
        std::size_t length;
        char c;
    };
    static const Entity kEntities[] = {
        {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''}, {"&amp;", 5, '&'}};

    if (text.find('&') == std::string::npos)
        return;
    // One pass from left to right gives what replacing each entity in turn
    // would: entities cannot overlap, and a decoded "&" is never looked at
    // again, so "&amp;lt;" stays "&lt;".
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const int n = CharSize(text, i);
        if (n == 1 && text[i] == '&') {
            const Entity* match = nullptr;
            for (const Entity& e : kEntities)
                if (StartsWith(text, i, e.name, e.length)) {
                    match = &e;
                    break;
                }
            if (match) {
                out += match->c;
                i += match->length;
                continue;
            }
        }
        out.append(text, i, n);
        i += n;
    }
    text.swap(out);
}

int QTVXmlString::FindChar(char wanted, int from, int end) const
{
    const char* text = data();
    if (SingleByte()) {
        const void* hit = std::memchr(text + from, wanted, static_cast<std::size_t>(end - from));
        return hit ? static_cast<int>(static_cast<const char*>(hit) - text) : -1;
    }
    for (int i = from; i < end;) {
        if (text[i] == wanted)
            return i;
        i += i + 1 < end && settings::IsLeadByte(text[i]) ? 2 : 1;
    }
    return -1;
}

bool QTVXmlString::FindElement(std::string name, std::string& inner, int& cursor)
{
    if (name.empty())
        return false;
    // "Login" and "<Login>" are the same request.
    if (name.front() == '<')
        name.erase(0, 1);
    if (!name.empty() && name.back() == '>')
        name.pop_back();
    if (name.empty())
        return false;

    m_nOpenStart = m_nOpenEnd = m_nTagStart = m_nTagEnd = -1;
    const int length = size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size());
    const int entry = cursor;
    int depth = 0;
    bool opened = false;
    bool found = false;

    // One forward pass: each step moves the cursor to the '>' of the tag it
    // looked at, so the text is scanned once and nesting costs a counter.
    while (cursor >= 0 && cursor < length && !found) {
        m_nTagStart = FindChar('<', cursor, length);
        if (m_nTagStart < 0)
            break;
        m_nTagEnd = FindChar('>', m_nTagStart, length);
        if (m_nTagEnd < 0)
            break;
        const int tagStart = m_nTagStart + 1;
        const std::size_t tagLength = static_cast<std::size_t>(m_nTagEnd - tagStart);
        if (tagLength > 0 && (*this)[tagStart] == '/') {
            if (opened && compare(tagStart + 1, tagLength - 1, name) == 0 && --depth == 0) {
                inner.assign(*this, m_nOpenEnd + 1, static_cast<std::size_t>(m_nTagStart - m_nOpenEnd - 1));
                found = true;
            }
        } else {
            // Attributes follow the name after a space.
            const int space = FindChar(' ', tagStart, m_nTagEnd);
            const std::size_t nameLength = space < 0 ? tagLength : static_cast<std::size_t>(space - tagStart);
            if (compare(tagStart, nameLength, name) == 0) {
                if (!opened) {
                    opened = true;
                    m_nOpenStart = m_nTagStart;
                    m_nOpenEnd = m_nTagEnd;
                }
                ++depth;
            }
        }
        cursor = m_nTagEnd;
    }

    if (!found) {
        cursor = entry;
        return false;
    }
    if (!HoldsMarkup(inner))
        UnescapeText(inner);
    return true;
}

bool QTVXmlString::GetElementText(const std::string& name, std::string& result, int& cursor)
{
    std::string inner;
    if (!FindElement(name, inner, cursor))
        return false;
    result.swap(inner);
    return true;
}

bool QTVXmlString::GetElement(const std::string& name, QTVXmlString& result, int& cursor)
{
    std::string inner;
    if (!FindElement(name, inner, cursor))
        return false;
    static_cast<std::string&>(result).swap(inner);
    return true;
}
