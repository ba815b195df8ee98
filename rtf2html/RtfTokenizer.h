#pragma once
// Splits RTF body text into the pieces the converter acts on. A control word
// ends where RTF ends it: a backslash, letters, an optional signed number and
// one optional space, which belongs to the word. Whatever follows is text, so
// nothing the user typed is taken for part of a control word. Groups are
// stepped over as the group stripper finds them.
#include <cstddef>
#include <string_view>

namespace rtf2html {

class CGroupStripper;

enum class TokenKind {
    End,       // no more text
    GroupEnd,  // an unescaped "}" outside any group: the body ends here
    Text,      // bytes to write as they are (escaped for HTML)
    Byte,      // one byte written by an escape: "\\", "\{", "\}", "\'hh"
    Word,      // a control word
    Symbol,    // any other control symbol ("\~", "\-", "\*", ...), in m_nByte
};

// The control words the converter acts on, recognised once per word.
enum class WordId {
    Other, B, I, Ul, UlNone, Fs, F, Plain, Pard, Par, Qc, Qr, Shad, V, U, Uc,
    Tab, Line, EmDash, EnDash, LQuote, RQuote, LDblQuote, RDblQuote, Bullet, EmSpace, EnSpace, QmSpace,
};

struct CRtfToken {
    TokenKind m_kind = TokenKind::End;
    WordId m_id = WordId::Other;
    // Where the token stands in the text; a word's end includes its space.
    std::size_t m_nBegin = 0;
    std::size_t m_nEnd = 0;
    // Word: its letters, and its letters with the parameter as written.
    std::string_view m_strName;
    std::string_view m_strWord;
    long m_nParam = 0;
    bool m_bHasParam = false;
    bool m_bSpaceDelimited = false;
    // Byte: the byte; Symbol: the character after the backslash.
    unsigned char m_nByte = 0;

    // The word exactly, without a parameter.
    bool IsPlain(WordId id) const { return m_id == id && !m_bHasParam; }
    // A toggle word without parameter or with a non-zero one switches on.
    bool IsOn(WordId id) const { return m_id == id && (!m_bHasParam || m_nParam != 0); }
    bool IsOff(WordId id) const { return m_id == id && m_bHasParam && m_nParam == 0; }
};

class CRtfTokenizer {
public:
    // Tokens from pos up to the end of text; text must outlive every token.
    // Without groups, a "{" is simply dropped.
    CRtfTokenizer(std::string_view text, CGroupStripper* groups, std::size_t pos = 0)
        : m_strText(text), m_pGroups(groups), m_nPos(pos)
    {
    }

    CRtfToken Next();

    // Skips the fallback that a writer puts after a "\uN" for readers without
    // Unicode: count characters, where an escape or a control word counts as
    // one. Stops early at a brace or the end.
    void SkipFallback(long count);

    std::size_t Position() const { return m_nPos; }
    void Seek(std::size_t pos) { m_nPos = pos; }

private:
    CRtfToken ReadControl(std::size_t begin);
    CRtfToken ReadWord(std::size_t begin);

    std::string_view m_strText;
    CGroupStripper* m_pGroups;
    std::size_t m_nPos;
};

}  // namespace rtf2html
