#pragma once
// The fonts an RTF header declares, each with the code page its text is
// written in: the control writes text of another script in a font whose
// charset names the script, as bytes of that script's code page.
#include <functional>
#include <map>
#include <string_view>

namespace rtf2html {

// The code page of text in a font of the given charset; 0 when its bytes are
// to be kept as they are (a symbol font, a charset unknown here).
unsigned CodePageOfCharset(long charset, unsigned documentCodePage);

class CFontTable {
public:
    // Reads "\ansicpg", "\deff", the "\fonttbl" group and a font chosen at
    // the top level of the header; anything else is stepped over. A header
    // without "\ansicpg" is taken to be in ansiCodePage.
    void Read(std::string_view header, unsigned ansiCodePage);

    // Replaces each code page once, as the reader of the text will use it.
    void MapCodePages(const std::function<unsigned(unsigned)>& map);

    // The code page of a font; a font the table does not declare is taken
    // as one of charset 0.
    unsigned CodePageOf(long font) const;
    long DefaultFont() const { return m_nDefaultFont; }
    // The font in force where the body starts.
    long InitialFont() const { return m_nInitialFont; }

private:
    std::map<long, unsigned> m_codePages;
    unsigned m_nDocumentCodePage = 0;
    long m_nDefaultFont = 0;
    long m_nInitialFont = 0;
};

}  // namespace rtf2html
