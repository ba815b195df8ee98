#include "rtf2html/RtfTokenizer.h"

namespace rtf2html {
namespace {

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Bytes that end a stretch of plain text.
bool EndsText(char c)
{
    return c == '\\' || c == '{' || c == '}' || c == '\n' || c == '\r';
}

// Parameters are clamped rather than overflowed (long may have 32 bits);
// no meaningful value comes near.
constexpr long kParamLimit = 1000000000L;

}  // namespace

CRtfToken CRtfTokenizer::Next()
{
    const std::size_t n = m_strText.size();
    // Line breaks in RTF are only there to keep lines short; "{" cannot
    // remain once groups are gone, and is ignored should it turn up.
    while (m_nPos < n && (m_strText[m_nPos] == '\n' || m_strText[m_nPos] == '\r' || m_strText[m_nPos] == '{'))
        ++m_nPos;
    CRtfToken token;
    token.m_nBegin = m_nPos;
    if (m_nPos >= n) {
        token.m_nEnd = m_nPos;
        return token;
    }
    const char c = m_strText[m_nPos];
    if (c == '}') {
        token.m_kind = TokenKind::GroupEnd;
        token.m_nEnd = ++m_nPos;
        return token;
    }
    if (c == '\\')
        return ReadControl(m_nPos);
    std::size_t end = m_nPos + 1;
    while (end < n && !EndsText(m_strText[end]))
        ++end;
    token.m_kind = TokenKind::Text;
    token.m_nEnd = m_nPos = end;
    return token;
}

CRtfToken CRtfTokenizer::ReadControl(std::size_t begin)
{
    const std::size_t n = m_strText.size();
    CRtfToken token;
    token.m_nBegin = begin;
    if (begin + 1 >= n) {  // a lone backslash at the very end says nothing
        token.m_nEnd = m_nPos = n;
        return token;
    }
    const char c = m_strText[begin + 1];
    if (IsLetter(c))
        return ReadWord(begin);
    m_nPos = begin + 2;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        token.m_kind = TokenKind::Byte;
        token.m_nByte = static_cast<unsigned char>(c);
        break;
    case '\'': {
        const int high = begin + 2 < n ? HexValue(m_strText[begin + 2]) : -1;
        const int low = begin + 3 < n ? HexValue(m_strText[begin + 3]) : -1;
        if (high >= 0 && low >= 0) {
            token.m_kind = TokenKind::Byte;
            token.m_nByte = static_cast<unsigned char>(high * 16 + low);
            m_nPos = begin + 4;
        } else {
            // Broken escape: dropped, the characters after it stay text.
            token.m_kind = TokenKind::Symbol;
            token.m_nByte = '\'';
        }
        break;
    }
    case '\n':
    case '\r':
        // A backslash before a line break is a paragraph mark in RTF.
        token.m_kind = TokenKind::Word;
        token.m_strName = token.m_strWord = "par";
        break;
    default:
        token.m_kind = TokenKind::Symbol;
        token.m_nByte = static_cast<unsigned char>(c);
        break;
    }
    token.m_nEnd = m_nPos;
    return token;
}

CRtfToken CRtfTokenizer::ReadWord(std::size_t begin)
{
    const std::size_t n = m_strText.size();
    CRtfToken token;
    token.m_kind = TokenKind::Word;
    token.m_nBegin = begin;
    std::size_t pos = begin + 1;
    while (pos < n && IsLetter(m_strText[pos]))
        ++pos;
    token.m_strName = m_strText.substr(begin + 1, pos - begin - 1);
    bool negative = false;
    if (pos + 1 < n && m_strText[pos] == '-' && IsDigit(m_strText[pos + 1])) {
        negative = true;
        ++pos;
    }
    long value = 0;
    while (pos < n && IsDigit(m_strText[pos])) {
        token.m_bHasParam = true;
        value = value <= (kParamLimit - 9) / 10 ? value * 10 + (m_strText[pos] - '0') : kParamLimit;
        ++pos;
    }
    token.m_nParam = negative ? -value : value;
    token.m_strWord = m_strText.substr(begin + 1, pos - begin - 1);
    if (pos < n && m_strText[pos] == ' ') {
        token.m_bSpaceDelimited = true;
        ++pos;
    }
    token.m_nEnd = m_nPos = pos;
    return token;
}

void CRtfTokenizer::SkipFallback(long count)
{
    const std::size_t n = m_strText.size();
    while (count > 0 && m_nPos < n) {
        const char c = m_strText[m_nPos];
        if (c == '\n' || c == '\r') {
            ++m_nPos;
            continue;
        }
        if (c == '{' || c == '}')
            return;
        if (c == '\\')
            ReadControl(m_nPos);
        else
            ++m_nPos;
        --count;
    }
}

}  // namespace rtf2html
