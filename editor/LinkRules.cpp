#include "editor/LinkRules.h"

#include <cctype>

#include "rtf2html/HtmlText.h"
#include "util/HexText.h"

namespace editor {

std::string ProposedLinkText(const std::string& selected)
{
    return selected.substr(0, selected.find('#'));
}

std::string NormalizeLinkAddress(const std::string& address)
{
    // Spaces around a pasted address would put the scheme out of place.
    const std::size_t first = address.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const std::string trimmed = address.substr(first, address.find_last_not_of(" \t\r\n") - first + 1);
    // Only an address that starts with an allowed scheme stays as given; any
    // other (javascript:, data:, a bare host) is made a web address, so the
    // post never carries a scheme that could run script.
    if (rtf2html::IsAllowedLinkTarget(trimmed))
        return trimmed;
    return "http://" + trimmed;
}

std::string MailtoAddress(const std::string& address, const std::string& subject)
{
    std::string target = "mailto:" + address;
    if (!subject.empty())
        target += "?subject=" + subject;
    return target;
}

std::string EscapeRtfText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (byte > 0x7F) {
            out += "\\'";
            util::AppendHexByte(out, byte, util::HexCase::Lower);
        } else {
            out += c;
        }
    }
    return out;
}

std::string BuildLinkRtf(const std::string& displayText, const std::string& address, unsigned codePage)
{
    return "{\\rtf1\\ansi\\ansicpg" + std::to_string(codePage) + " " + EscapeRtfText(displayText) + "\\v #\"" +
           EscapeRtfText(address) + "\"\\v0}";
}

bool IsBlank(const std::string& text)
{
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::size_t HiddenPartLength(const std::string& textAfterLink, const std::function<bool(unsigned char)>& isLeadByte)
{
    const bool bStarts = !textAfterLink.empty() && textAfterLink[0] == '#';
    if (!bStarts && !(textAfterLink.size() > 1 && textAfterLink[1] == '#'))
        return 0;
    int nQuotes = 0;
    std::size_t nCharacters = 0;
    for (std::size_t i = 0; i < textAfterLink.size(); ++i, ++nCharacters) {
        const auto byte = static_cast<unsigned char>(textAfterLink[i]);
        if (byte > 0x7F && isLeadByte && isLeadByte(byte) && i + 1 < textAfterLink.size()) {
            ++i;  // its trail byte, which is never a quote
            continue;
        }
        if (byte == '"' && ++nQuotes == 2)
            return nCharacters + 1;
    }
    return 0;
}

}  // namespace editor
