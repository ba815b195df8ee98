#pragma once
// Text bytes of the entry, as the control writes them in the code page of
// their font, written into the post's 8-bit text: each character as the ANSI
// code page holds it, or as a character reference where it cannot. Bytes
// arrive a few at a time (an escape, a stretch of text), so a lead byte waits
// for its trail byte across calls.
#include <string>
#include <string_view>

#include "rtf2html/CodePages.h"

namespace rtf2html {

class CCharsetText {
public:
    // Body text has its HTML specials escaped; a link target is escaped by
    // its reader once it is whole.
    enum class Escaping { Html, None };

    CCharsetText(ICodePages* pCodePages, Escaping escaping) : m_pCodePages(pCodePages), m_escaping(escaping) {}

    // Bytes from now on are in codePage; 0 keeps them as they are, which is
    // right for the ANSI code page itself.
    void SetCodePage(std::string& out, unsigned codePage);
    unsigned CodePage() const { return m_nCodePage; }

    void Append(std::string& out, std::string_view bytes)
    {
        if (m_nCodePage == 0)
            AppendAscii(out, bytes);
        else
            Decode(out, bytes);
    }
    // Ends a run of text: a lead byte whose trail byte never came is written
    // as the replacement character.
    void Finish(std::string& out)
    {
        if (m_nLeadByte >= 0)
            FinishLeadByte(out);
    }

private:
    void Decode(std::string& out, std::string_view bytes);
    void FinishLeadByte(std::string& out);
    void AppendAscii(std::string& out, std::string_view text) const;
    void AppendCharacter(std::string& out, char32_t character);

    ICodePages* m_pCodePages;
    Escaping m_escaping;
    unsigned m_nCodePage = 0;
    int m_nLeadByte = -1;
};

}  // namespace rtf2html
