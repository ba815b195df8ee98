#include "rtf2html/FontTable.h"

#include <vector>

#include "rtf2html/RtfChars.h"

namespace rtf2html {

namespace {

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

constexpr long kParamLimit = 1000000000L;

struct CWord {
    std::string_view m_strName;
    long m_nParam = 0;
    bool m_bHasParam = false;
};

// Reads the control word whose backslash stands at pos; pos moves past it
// and the space that may end it.
CWord ReadWord(std::string_view text, std::size_t& pos)
{
    CWord word;
    std::size_t p = pos + 1;
    while (p < text.size() && IsLetter(text[p]))
        ++p;
    word.m_strName = text.substr(pos + 1, p - pos - 1);
    const bool negative = p + 1 < text.size() && text[p] == '-' && IsDigit(text[p + 1]);
    if (negative)
        ++p;
    while (p < text.size() && IsDigit(text[p])) {
        word.m_bHasParam = true;
        word.m_nParam = word.m_nParam <= (kParamLimit - 9) / 10 ? word.m_nParam * 10 + (text[p] - '0') : kParamLimit;
        ++p;
    }
    if (negative)
        word.m_nParam = -word.m_nParam;
    if (p < text.size() && text[p] == ' ')
        ++p;
    pos = p;
    return word;
}

struct CFontEntry {
    long m_nNumber = 0;
    bool m_bNumbered = false;
    long m_nCharset = 0;
    unsigned m_nCodePage = 0;  // "\cpg", which names the page outright
};

}  // namespace

unsigned CodePageOfCharset(long charset, unsigned documentCodePage)
{
    switch (charset) {
    case 0: return documentCodePage;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
    }
}

void CFontTable::Read(std::string_view header, unsigned ansiCodePage)
{
    m_codePages.clear();
    unsigned documentCodePage = ansiCodePage;
    long defaultFont = 0;
    long initialFont = 0;
    bool initialChosen = false;
    std::vector<CFontEntry> entries;
    CFontEntry entry;
    const auto commit = [&] {
        if (entry.m_bNumbered)
            entries.push_back(entry);
        entry = CFontEntry();
    };

    // The table's entries stand one group deeper than "\fonttbl", or, in the
    // older form, directly in its group separated by ";". Groups inside an
    // entry ("\*\panose", "\*\fname") name nothing we need.
    long depth = 0;
    long tableDepth = -1;
    std::size_t pos = 0;
    const std::size_t n = header.size();
    while (pos < n) {
        const char c = header[pos];
        const bool inTable = tableDepth >= 0 && (depth == tableDepth || depth == tableDepth + 1);
        if (c == '{') {
            ++depth;
            ++pos;
        } else if (c == '}') {
            if (inTable)
                commit();
            if (depth == tableDepth)
                tableDepth = -1;
            if (depth > 0)
                --depth;
            ++pos;
        } else if (c == ';') {
            if (inTable)
                commit();
            ++pos;
        } else if (c != '\\') {
            ++pos;
        } else if (pos + 1 < n && header[pos + 1] == '\'') {
            pos += 2;
            for (int digits = 0; digits < 2 && pos < n && IsHexDigit(header[pos]); ++digits)
                ++pos;
        } else if (pos + 1 < n && !IsLetter(header[pos + 1])) {
            pos += 2;  // "\\", "\{", "\}", "\*" and the like
        } else if (pos + 1 >= n) {
            break;
        } else {
            const CWord word = ReadWord(header, pos);
            if (word.m_strName == "fonttbl") {
                commit();
                tableDepth = depth;
            } else if (inTable) {
                if (word.m_strName == "f" && word.m_bHasParam) {
                    commit();
                    entry.m_nNumber = word.m_nParam;
                    entry.m_bNumbered = true;
                } else if (word.m_strName == "fcharset" && word.m_bHasParam) {
                    entry.m_nCharset = word.m_nParam;
                } else if (word.m_strName == "cpg" && word.m_bHasParam && word.m_nParam > 0) {
                    entry.m_nCodePage = static_cast<unsigned>(word.m_nParam);
                }
            } else if (depth <= 1) {
                if (word.m_strName == "ansicpg" && word.m_bHasParam && word.m_nParam > 0) {
                    documentCodePage = static_cast<unsigned>(word.m_nParam);
                } else if (word.m_strName == "deff" && word.m_bHasParam) {
                    defaultFont = word.m_nParam;
                } else if (word.m_strName == "f") {
                    initialFont = word.m_nParam;
                    initialChosen = true;
                } else if (word.m_strName == "plain") {
                    initialChosen = false;
                }
            }
        }
    }
    commit();  // a header cut short inside the table

    // "\ansicpg" may follow the table, so code pages are given at the end.
    m_nDocumentCodePage = documentCodePage;
    for (const CFontEntry& font : entries)
        m_codePages.insert_or_assign(font.m_nNumber, font.m_nCodePage != 0
                                                         ? font.m_nCodePage
                                                         : CodePageOfCharset(font.m_nCharset, documentCodePage));
    m_nDefaultFont = defaultFont;
    m_nInitialFont = initialChosen ? initialFont : defaultFont;
}

void CFontTable::MapCodePages(const std::function<unsigned(unsigned)>& map)
{
    m_nDocumentCodePage = map(m_nDocumentCodePage);
    for (auto& font : m_codePages)
        font.second = map(font.second);
}

unsigned CFontTable::CodePageOf(long font) const
{
    const auto found = m_codePages.find(font);
    return found != m_codePages.end() ? found->second : m_nDocumentCodePage;
}

}  // namespace rtf2html
