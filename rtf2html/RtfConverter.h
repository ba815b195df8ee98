#pragma once
// Turns the Blog Editor's entry, as its rich edit control writes it in RTF,
// into the HTML fragment posted as the entry's text. It reads exactly what the
// editor produces: paragraphs with their alignment, line breaks, bold, italic,
// underline, the seven text sizes and links; everything else is dropped.
// Platform-free: the Windows side passes the RTF streamed out of the control
// and the system's code pages.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rtf2html/CharsetText.h"
#include "rtf2html/CodePages.h"
#include "rtf2html/ElementStack.h"
#include "rtf2html/FontTable.h"
#include "rtf2html/GroupStripper.h"
#include "rtf2html/RtfTokenizer.h"

class CRtfConverter {
public:
    // Text bytes are copied as they are, as if every font were in the ANSI
    // code page.
    CRtfConverter();
    // Text in a font of another script is read in that script's code page
    // and written in the ANSI code page, or as character references.
    explicit CRtfConverter(rtf2html::ICodePages* pCodePages);
    CRtfConverter(const CRtfConverter&) = delete;
    CRtfConverter& operator=(const CRtfConverter&) = delete;

    // Converts rtf from the first occurrence of startMarker; of the header
    // before it only the fonts are read (their code pages, the default font).
    // Without the marker the result is empty. With closeAll
    // every element still open at the end of the text is closed. An unescaped
    // "}" ends the body and closes everything in any case. No "%" is left in
    // the result, so it can stand next to "%s" placeholders.
    // One object serves one call.
    std::string Convert(const std::string& rtf, const std::string& startMarker, bool closeAll);

private:
    using CRun = std::vector<rtf2html::CRtfToken>;

    // A link's visible text is converted by the same scan, told to drop the
    // words that made it a link.
    enum class Scope { Body, LinkText };

    // Returns true when the scan stopped at a "}".
    bool ConvertBody(rtf2html::CRtfTokenizer& tokens, Scope scope);
    // True when token is hidden text (or the word that hides or shows it)
    // and must not reach the post.
    bool SkipHidden(rtf2html::CRtfTokenizer& tokens, const rtf2html::CRtfToken& token);
    // Words that stand for a character; false for every other word.
    bool WriteCharacterWord(const rtf2html::CRtfToken& word);
    struct CParagraphStart {
        bool m_bEmpty = false;  // "\par" follows at once
        bool m_bCenter = false;
        bool m_bRight = false;
    };
    CParagraphStart PeekParagraph(std::size_t from);
    void ApplyControlWords(const rtf2html::CRtfToken* words, std::size_t count);
    void Flush(CRun& run);
    void ConvertLink(rtf2html::CRtfTokenizer& tokens, CRun& run, const rtf2html::CRtfToken& shadow);

    void SetFont(long font);
    void WriteUnicode(long value);
    void DropPendingSurrogate();

    rtf2html::ICodePages* m_pCodePages = nullptr;
    rtf2html::CFontTable m_fonts;
    long m_nFont = 0;
    rtf2html::CCharsetText m_text;
    std::string_view m_strText;  // the caller's RTF from the start marker on
    rtf2html::CGroupStripper* m_pGroups = nullptr;
    std::string m_strHtml;
    rtf2html::CElementStack m_stack;
    // Characters a writer puts after each "\uN" for readers without Unicode.
    long m_nFallbackCount = 1;
    // First half of a character beyond the 16-bit range, waiting for its second.
    std::uint32_t m_nPendingHighSurrogate = 0;
    bool m_bLinkHasPard = false;
    // Inside "\v" text that is no link's target.
    bool m_bHidden = false;
};
