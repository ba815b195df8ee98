#include "rtf2html/RtfTokenizer.h"

#include <array>

#include "rtf2html/GroupStripper.h"
#include "rtf2html/RtfChars.h"
#include "util/HexText.h"

namespace rtf2html {
namespace {

// Bytes that end a stretch of plain text.
const std::array<bool, 256> kEndsText = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : {'\\', '{', '}', '\n', '\r'})
        table[c] = true;
    return table;
}();

bool EndsText(char c)
{
    return kEndsText[static_cast<unsigned char>(c)];
}

struct CKnownWord {
    std::string_view m_strName;
    WordId m_id;
};

constexpr CKnownWord kKnownWords[] = {
    {"b", WordId::B},           {"i", WordId::I},           {"ul", WordId::Ul},
    {"ulnone", WordId::UlNone}, {"fs", WordId::Fs},         {"f", WordId::F},
    {"plain", WordId::Plain},   {"pard", WordId::Pard},
    {"par", WordId::Par},       {"qc", WordId::Qc},         {"qr", WordId::Qr},
    {"shad", WordId::Shad},     {"v", WordId::V},           {"u", WordId::U},
    {"uc", WordId::Uc},         {"tab", WordId::Tab},       {"line", WordId::Line},
    {"emdash", WordId::EmDash}, {"endash", WordId::EnDash}, {"lquote", WordId::LQuote},
    {"rquote", WordId::RQuote}, {"ldblquote", WordId::LDblQuote}, {"rdblquote", WordId::RDblQuote},
    {"bullet", WordId::Bullet}, {"emspace", WordId::EmSpace}, {"enspace", WordId::EnSpace},
    {"qmspace", WordId::QmSpace},
};

// Known words by their first letter, so a word is compared with a few names
// at most.
const std::array<std::array<signed char, 8>, 26> kWordsByLetter = [] {
    std::array<std::array<signed char, 8>, 26> table{};
    for (auto& row : table)
        row.fill(-1);
    for (std::size_t k = 0; k < sizeof kKnownWords / sizeof kKnownWords[0]; ++k) {
        auto& row = table[static_cast<std::size_t>(kKnownWords[k].m_strName[0] - 'a')];
        std::size_t slot = 0;
        while (row[slot] >= 0)
            ++slot;
        row[slot] = static_cast<signed char>(k);
    }
    return table;
}();

WordId Classify(std::string_view name)
{
    if (name.empty() || name[0] < 'a' || name[0] > 'z')
        return WordId::Other;
    for (signed char k : kWordsByLetter[static_cast<std::size_t>(name[0] - 'a')]) {
        if (k < 0)
            break;
        if (kKnownWords[k].m_strName == name)
            return kKnownWords[k].m_id;
    }
    return WordId::Other;
}

// Parameters are clamped rather than overflowed (long may have 32 bits);
// no meaningful value comes near.
constexpr long kParamLimit = 1000000000L;

}  // namespace

CRtfToken CRtfTokenizer::Next()
{
    const std::size_t n = m_strText.size();
    // Line breaks in RTF are only there to keep lines short.
    while (m_nPos < n) {
        const char c = m_strText[m_nPos];
        if (c == '{')
            m_nPos = m_pGroups != nullptr ? m_pGroups->SkipFrom(m_nPos) : m_nPos + 1;
        else if (c == '\n' || c == '\r')
            ++m_nPos;
        else
            break;
    }
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
        const int high = begin + 2 < n ? util::HexDigitValue(m_strText[begin + 2]) : -1;
        const int low = begin + 3 < n ? util::HexDigitValue(m_strText[begin + 3]) : -1;
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
        token.m_id = WordId::Par;
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
    token.m_id = Classify(token.m_strName);
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
