#include "rtf2html/CharsetText.h"

#include "rtf2html/HtmlText.h"

namespace rtf2html {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsAscii(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

}  // namespace

void CCharsetText::SetCodePage(std::string& out, unsigned codePage)
{
    Finish(out);
    m_nCodePage = m_pCodePages != nullptr ? codePage : 0;
}

void CCharsetText::Decode(std::string& out, std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (m_nLeadByte >= 0) {
            const char pair[2] = {static_cast<char>(m_nLeadByte), static_cast<char>(byte)};
            m_nLeadByte = -1;
            const char32_t character = m_pCodePages->ToUnicode(m_nCodePage, pair, 2);
            AppendCharacter(out, character != 0 ? character : kReplacement);
            // A broken pair does not take an ASCII character with it: that
            // byte is read again on its own.
            if (character != 0 || !IsAscii(bytes[i]))
                ++i;
            continue;
        }
        if (IsAscii(bytes[i])) {
            // Every code page read here keeps ASCII as it is.
            std::size_t end = i + 1;
            while (end < bytes.size() && IsAscii(bytes[end]))
                ++end;
            AppendAscii(out, bytes.substr(i, end - i));
            i = end;
            continue;
        }
        if (m_pCodePages->IsLeadByte(m_nCodePage, byte)) {
            m_nLeadByte = byte;
        } else {
            const char32_t character = m_pCodePages->ToUnicode(m_nCodePage, &bytes[i], 1);
            AppendCharacter(out, character != 0 ? character : kReplacement);
        }
        ++i;
    }
}

void CCharsetText::FinishLeadByte(std::string& out)
{
    m_nLeadByte = -1;
    AppendCharacter(out, kReplacement);
}

void CCharsetText::AppendAscii(std::string& out, std::string_view text) const
{
    if (m_escaping == Escaping::Html)
        AppendEscapedText(out, text);
    else
        out.append(text.data(), text.size());
}

void CCharsetText::AppendCharacter(std::string& out, char32_t character)
{
    if (character < 0x80) {
        const char c = static_cast<char>(character);
        AppendAscii(out, std::string_view(&c, 1));
    } else if (!m_pCodePages->AppendAnsi(character, out)) {
        AppendCharacterReference(out, character);
    }
}

}  // namespace rtf2html
