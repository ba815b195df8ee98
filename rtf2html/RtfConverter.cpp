#include "rtf2html/RtfConverter.h"

#include <algorithm>
#include <string_view>

#include "rtf2html/FontSize.h"
#include "rtf2html/GroupStripper.h"
#include "rtf2html/HtmlText.h"

using rtf2html::CRtfToken;
using rtf2html::CRtfTokenizer;
using rtf2html::Element;
using rtf2html::TokenKind;
using rtf2html::WordId;

namespace {

// Characters the control writes as words rather than as escapes; empty for
// every other word.
std::string_view CharacterWordHtml(const CRtfToken& word)
{
    if (word.m_bHasParam)
        return {};
    switch (word.m_id) {
    case WordId::Tab: return "\t";
    case WordId::Line: return "<br />";
    case WordId::EmDash: return "&#8212;";
    case WordId::EnDash: return "&#8211;";
    case WordId::LQuote: return "&#8216;";
    case WordId::RQuote: return "&#8217;";
    case WordId::LDblQuote: return "&#8220;";
    case WordId::RDblQuote: return "&#8221;";
    case WordId::Bullet: return "&#8226;";
    case WordId::EmSpace: return "&#8195;";
    case WordId::EnSpace: return "&#8194;";
    case WordId::QmSpace: return "&#8197;";
    default: return {};
    }
}

// The editor writes a handful of words between two pieces of text.
constexpr std::size_t kMaxPendingWords = 64;

bool IsUnicodeWord(const CRtfToken& token)
{
    return token.m_id == WordId::U && token.m_bHasParam;
}

// Alignment of a new paragraph: its "\qc" or "\qr", which follow "\pard".
std::string_view Alignment(bool center, bool right)
{
    return center ? "center" : right ? "right" : "left";
}

}  // namespace

CRtfConverter::CRtfConverter() : CRtfConverter(nullptr) {}

CRtfConverter::CRtfConverter(rtf2html::ICodePages* pCodePages)
    : m_pCodePages(pCodePages), m_text(pCodePages, rtf2html::CCharsetText::Escaping::Html), m_stack(m_strHtml)
{
}

std::string CRtfConverter::Convert(const std::string& rtf, const std::string& startMarker, bool closeAll)
{
    const std::size_t start = rtf.find(startMarker);
    if (start == std::string::npos)
        return std::string();
    // Text in the ANSI code page, and text that cannot be read here, keeps
    // its bytes.
    const unsigned ansiCodePage = m_pCodePages != nullptr ? m_pCodePages->AnsiCodePage() : 0;
    m_fonts.Read(std::string_view(rtf).substr(0, start), ansiCodePage);
    m_fonts.MapCodePages([&](unsigned codePage) {
        return m_pCodePages == nullptr || codePage == ansiCodePage || !m_pCodePages->IsAvailable(codePage) ? 0u
                                                                                                           : codePage;
    });
    m_strText = std::string_view(rtf).substr(start);
    rtf2html::CGroupStripper groups(m_strText);
    m_pGroups = &groups;
    m_strHtml.clear();
    m_strHtml.reserve(m_strText.size() + m_strText.size() / 4);
    SetFont(m_fonts.InitialFont());
    CRtfTokenizer tokens(m_strText, m_pGroups);
    const bool endedAtBrace = ConvertBody(tokens, Scope::Body);
    if (!endedAtBrace && closeAll)
        m_stack.CloseAllTags();
    m_pGroups = nullptr;
    return std::move(m_strHtml);
}

bool CRtfConverter::ConvertBody(CRtfTokenizer& tokens, Scope scope)
{
    CRun run;
    for (;;) {
        const CRtfToken token = tokens.Next();
        if (m_nPendingHighSurrogate != 0 && !IsUnicodeWord(token))
            DropPendingSurrogate();
        // A double-byte character is its two bytes with nothing between.
        if (token.m_kind != TokenKind::Text && token.m_kind != TokenKind::Byte)
            m_text.Finish(m_strHtml);
        if (SkipHidden(tokens, token))
            continue;
        switch (token.m_kind) {
        case TokenKind::End:
            Flush(run);
            return false;
        case TokenKind::GroupEnd:
            Flush(run);
            m_stack.CloseAllTags();
            return true;
        case TokenKind::Text:
            Flush(run);
            m_text.Append(m_strHtml, m_strText.substr(token.m_nBegin, token.m_nEnd - token.m_nBegin));
            break;
        case TokenKind::Byte: {
            Flush(run);
            const char byte = static_cast<char>(token.m_nByte);
            m_text.Append(m_strHtml, std::string_view(&byte, 1));
            break;
        }
        case TokenKind::Symbol:
            if (token.m_nByte == '~') {
                Flush(run);
                m_strHtml += "&nbsp;";
            } else if (token.m_nByte == '_') {
                Flush(run);
                m_strHtml += '-';
            }
            break;
        case TokenKind::Word:
            if (IsUnicodeWord(token)) {
                Flush(run);
                WriteUnicode(token.m_nParam);
                tokens.SkipFallback(m_nFallbackCount);
            } else if (token.m_id == WordId::Uc) {
                if (token.m_bHasParam)
                    m_nFallbackCount = std::max(0L, token.m_nParam);
            } else if (const std::string_view html = CharacterWordHtml(token); !html.empty()) {
                Flush(run);
                m_strHtml += html;
            } else if (token.m_id == WordId::Shad) {
                if (scope == Scope::Body) {
                    if (token.IsOn(WordId::Shad))
                        ConvertLink(tokens, run, token);
                } else if (token.m_bSpaceDelimited && (run.empty() || run.back().m_bSpaceDelimited ||
                                                       run.back().m_nEnd != token.m_nBegin)) {
                    // The link text begins where the shadow word began: its
                    // space is text unless another word there takes it.
                    Flush(run);
                    m_strHtml += ' ';
                }
            } else if (scope == Scope::LinkText && m_bLinkHasPard &&
                       (token.IsPlain(WordId::Pard) || token.IsPlain(WordId::Qc) || token.IsPlain(WordId::Qr))) {
                // The paragraph was opened before the link.
            } else {
                // Words only need to wait while a link may still claim them;
                // a longer run is applied as it comes, so memory stays bounded.
                if (run.size() == kMaxPendingWords)
                    Flush(run);
                run.push_back(token);
            }
            break;
        }
    }
}

bool CRtfConverter::SkipHidden(CRtfTokenizer& tokens, const CRtfToken& token)
{
    // Hidden text that is not a link's target (pasted rich text carries it)
    // was never seen by the writer: it must not become visible in the post.
    // Links read their own hidden part in ConvertLink.
    if (token.m_id == WordId::V && token.m_kind == TokenKind::Word) {
        m_bHidden = token.IsOn(WordId::V);
        return true;
    }
    if (token.IsPlain(WordId::Plain))
        m_bHidden = false;
    if (!m_bHidden)
        return false;
    switch (token.m_kind) {
    case TokenKind::Text:
    case TokenKind::Byte:
    case TokenKind::Symbol:
        return true;
    case TokenKind::Word:
        if (IsUnicodeWord(token)) {
            tokens.SkipFallback(m_nFallbackCount);
            return true;
        }
        return token.IsOn(WordId::Shad) || !CharacterWordHtml(token).empty();
    default:
        return false;
    }
}

void CRtfConverter::Flush(CRun& run)
{
    if (run.empty())
        return;
    ApplyControlWords(run.data(), run.size());
    run.clear();
}

CRtfConverter::CParagraphStart CRtfConverter::PeekParagraph(std::size_t from)
{
    // The words after a "\pard" up to the end of its run or the next "\pard".
    CParagraphStart start;
    CRtfTokenizer ahead(m_strText, m_pGroups, from);
    for (bool first = true;;) {
        const CRtfToken token = ahead.Next();
        if (token.m_kind == TokenKind::Symbol && token.m_nByte != '~' && token.m_nByte != '_')
            continue;
        if (token.m_kind != TokenKind::Word || IsUnicodeWord(token) || !CharacterWordHtml(token).empty() ||
            token.IsOn(WordId::Shad) || token.IsPlain(WordId::Pard))
            return start;
        if (token.m_id == WordId::Uc)
            continue;
        if (first && token.IsPlain(WordId::Par)) {
            start.m_bEmpty = true;
            return start;
        }
        first = false;
        start.m_bCenter = start.m_bCenter || token.IsPlain(WordId::Qc);
        start.m_bRight = start.m_bRight || token.IsPlain(WordId::Qr);
    }
}

void CRtfConverter::ApplyControlWords(const CRtfToken* words, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const CRtfToken& word = words[i];
        if (word.IsPlain(WordId::Pard)) {
            const CParagraphStart start = PeekParagraph(word.m_nEnd);
            // "\pard\par" is an empty paragraph: a line break, no element.
            if (start.m_bEmpty) {
                m_strHtml += "<br />";
                continue;
            }
            m_stack.m_strAlignment = Alignment(start.m_bCenter, start.m_bRight);
            m_stack.OpenTag(Element::P);
        } else if (word.IsPlain(WordId::Par)) {
            m_strHtml += "<br />";
        } else if (word.m_id == WordId::B) {
            word.IsOff(WordId::B) ? m_stack.CloseTag(Element::B) : m_stack.OpenTag(Element::B);
        } else if (word.m_id == WordId::I) {
            word.IsOff(WordId::I) ? m_stack.CloseTag(Element::I) : m_stack.OpenTag(Element::I);
        } else if (word.IsPlain(WordId::UlNone) || word.IsOff(WordId::Ul)) {
            m_stack.CloseTag(Element::U);
        } else if (word.IsOn(WordId::Ul)) {
            m_stack.OpenTag(Element::U);
        } else if (word.m_id == WordId::Fs) {
            m_stack.CloseTag(Element::Font);
            m_stack.m_strFontSize = rtf2html::MapFontSize(word.m_strWord);
            m_stack.OpenTag(Element::Font);
        } else if (word.m_id == WordId::F) {
            SetFont(word.m_nParam);
        } else if (word.IsPlain(WordId::Plain)) {
            SetFont(m_fonts.DefaultFont());
        }
    }
}

void CRtfConverter::SetFont(long font)
{
    m_nFont = font;
    m_text.SetCodePage(m_strHtml, m_fonts.CodePageOf(font));
}

void CRtfConverter::ConvertLink(CRtfTokenizer& tokens, CRun& run, const CRtfToken& shadow)
{
    // Words glued to the shadow word belong to the link; those before the
    // last space or line break of the run apply before it.
    std::size_t own = run.size();
    while (own > 0 && !run[own - 1].m_bSpaceDelimited &&
           run[own - 1].m_nEnd == (own < run.size() ? run[own].m_nBegin : shadow.m_nBegin))
        --own;
    ApplyControlWords(run.data(), own);
    const std::size_t linkStart = own < run.size() ? run[own].m_nBegin : shadow.m_nBegin;
    run.clear();

    // The visible text runs up to the hidden text ("\v"), which holds the target.
    CRtfTokenizer ahead(m_strText, m_pGroups, linkStart);
    long fallbackCount = m_nFallbackCount;
    // The font where the hidden text starts, and where the link ends.
    long font = m_nFont;
    const auto followFont = [&](const CRtfToken& token) {
        if (token.m_id == WordId::F)
            font = token.m_nParam;
        else if (token.IsPlain(WordId::Plain))
            font = m_fonts.DefaultFont();
    };
    bool hasPard = false;
    bool center = false;
    bool right = false;
    bool hidden = false;
    std::size_t visibleEnd = 0;
    for (;;) {
        const CRtfToken token = ahead.Next();
        if (token.m_kind == TokenKind::End || token.m_kind == TokenKind::GroupEnd) {
            visibleEnd = token.m_nBegin;
            break;
        }
        if (token.IsOn(WordId::V)) {
            visibleEnd = token.m_nBegin;
            hidden = true;
            break;
        }
        followFont(token);
        hasPard = hasPard || token.IsPlain(WordId::Pard);
        center = center || token.IsPlain(WordId::Qc);
        right = right || token.IsPlain(WordId::Qr);
        if (token.m_id == WordId::Uc && token.m_bHasParam)
            fallbackCount = std::max(0L, token.m_nParam);
        else if (IsUnicodeWord(token))
            ahead.SkipFallback(fallbackCount);
    }

    // Target: the text between '#"' and the next '"' of the hidden text. The
    // scan goes on after the closing quote; without one, at the end of the
    // hidden text, so text after a damaged link is still converted.
    std::string target;
    rtf2html::CCharsetText targetText(m_pCodePages, rtf2html::CCharsetText::Escaping::None);
    targetText.SetCodePage(target, m_fonts.CodePageOf(font));
    std::size_t resume = visibleEnd;
    bool closed = false;
    if (hidden) {
        enum class State { Seeking, Hash, Target } state = State::Seeking;
        while (!closed) {
            const CRtfToken token = ahead.Next();
            if (token.m_kind != TokenKind::Text && token.m_kind != TokenKind::Byte)
                targetText.Finish(target);
            if (token.m_kind == TokenKind::End || token.m_kind == TokenKind::GroupEnd || token.IsOff(WordId::V)) {
                resume = token.m_nBegin;
                break;
            }
            if (token.m_kind == TokenKind::Word) {
                followFont(token);
                if (token.m_id == WordId::F || token.IsPlain(WordId::Plain)) {
                    targetText.SetCodePage(target, m_fonts.CodePageOf(font));
                } else if (token.m_id == WordId::Uc && token.m_bHasParam) {
                    fallbackCount = std::max(0L, token.m_nParam);
                } else if (IsUnicodeWord(token)) {
                    if (state == State::Target)
                        rtf2html::AppendCharacterReference(
                            target, static_cast<std::uint32_t>(token.m_nParam < 0 ? token.m_nParam + 65536 : token.m_nParam));
                    else
                        state = State::Seeking;
                    ahead.SkipFallback(fallbackCount);
                }
                continue;
            }
            if (token.m_kind != TokenKind::Text && token.m_kind != TokenKind::Byte)
                continue;
            const char byte = static_cast<char>(token.m_nByte);
            const std::string_view bytes = token.m_kind == TokenKind::Byte
                                               ? std::string_view(&byte, 1)
                                               : m_strText.substr(token.m_nBegin, token.m_nEnd - token.m_nBegin);
            for (std::size_t k = 0; k < bytes.size() && !closed; ++k) {
                const char c = bytes[k];
                switch (state) {
                case State::Seeking:
                    if (c == '#')
                        state = State::Hash;
                    break;
                case State::Hash:
                    state = c == '"' ? State::Target : c == '#' ? State::Hash : State::Seeking;
                    break;
                case State::Target:
                    if (c == '"') {
                        targetText.Finish(target);
                        closed = true;
                        resume = token.m_kind == TokenKind::Byte ? token.m_nEnd : token.m_nBegin + k + 1;
                    } else {
                        targetText.Append(target, std::string_view(&c, 1));
                    }
                    break;
                }
            }
        }
    }

    if (hasPard) {
        m_stack.m_strAlignment = Alignment(center, right);
        m_stack.OpenTag(Element::P);
    }
    // Shadowed text without a complete target, or with a target of another
    // scheme, is written as plain text: no empty link over the paragraph,
    // no script in an href.
    const bool isLink = closed && rtf2html::IsAllowedLinkTarget(target);
    if (isLink) {
        std::string href;
        rtf2html::AppendEscapedTarget(href, target);
        m_stack.OpenLink(href);
    }
    CRtfTokenizer visible(m_strText.substr(0, visibleEnd), m_pGroups, linkStart);
    m_bLinkHasPard = hasPard;
    ConvertBody(visible, Scope::LinkText);
    m_bLinkHasPard = false;
    if (isLink)
        m_stack.CloseTag(Element::A);
    SetFont(font);
    // After a target's closing quote the scan goes on inside the hidden text.
    m_bHidden = closed;
    tokens.Seek(resume);
}

void CRtfConverter::WriteUnicode(long value)
{
    // Writers give values above 32767 as negative 16-bit numbers.
    const long unit = value < 0 ? value + 65536 : value;
    const std::uint32_t codePoint = unit < 0 ? 0u : static_cast<std::uint32_t>(unit);
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
        DropPendingSurrogate();
        m_nPendingHighSurrogate = codePoint;
        return;
    }
    if (codePoint >= 0xDC00 && codePoint <= 0xDFFF && m_nPendingHighSurrogate != 0) {
        const std::uint32_t combined = 0x10000 + ((m_nPendingHighSurrogate - 0xD800) << 10) + (codePoint - 0xDC00);
        m_nPendingHighSurrogate = 0;
        rtf2html::AppendCharacterReference(m_strHtml, combined);
        return;
    }
    DropPendingSurrogate();
    rtf2html::AppendCharacterReference(m_strHtml, codePoint);
}

void CRtfConverter::DropPendingSurrogate()
{
    if (m_nPendingHighSurrogate == 0)
        return;
    m_nPendingHighSurrogate = 0;
    rtf2html::AppendCharacterReference(m_strHtml, 0xFFFD);
}
