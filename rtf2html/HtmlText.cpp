#include "rtf2html/HtmlText.h"

#include <array>

namespace rtf2html {
namespace {

// Replacement for each byte that needs one; empty for plain bytes. Built
// once so the copy loop is a table lookup per byte.
using ReplacementTable = std::array<std::string_view, 256>;

ReplacementTable MakeTable(bool escapeAmpersand)
{
    ReplacementTable table{};
    if (escapeAmpersand)
        table[static_cast<unsigned char>('&')] = "&amp;";
    table[static_cast<unsigned char>('<')] = "&lt;";
    table[static_cast<unsigned char>('>')] = "&gt;";
    table[static_cast<unsigned char>('%')] = "&#37;";
    return table;
}

const ReplacementTable kTextTable = MakeTable(true);
const ReplacementTable kTargetTable = MakeTable(false);

void AppendReplaced(std::string& out, std::string_view text, const ReplacementTable& table)
{
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view replacement = table[static_cast<unsigned char>(text[i])];
        if (replacement.empty())
            continue;
        out.append(text.data() + plain, i - plain);
        out += replacement;
        plain = i + 1;
    }
    out.append(text.data() + plain, text.size() - plain);
}

}  // namespace

void AppendEscapedText(std::string& out, std::string_view text)
{
    AppendReplaced(out, text, kTextTable);
}

void AppendEscapedTarget(std::string& out, std::string_view target)
{
    AppendReplaced(out, target, kTargetTable);
}

bool IsAllowedLinkTarget(std::string_view target)
{
    static constexpr std::string_view kSchemes[] = {"http:", "https:", "ftp:", "mailto:"};
    for (const std::string_view scheme : kSchemes) {
        if (target.size() < scheme.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < scheme.size() && same; ++i) {
            const char c = target[i];
            same = (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == scheme[i];
        }
        if (same)
            return true;
    }
    return false;
}

void AppendCharacterReference(std::string& out, std::uint32_t codePoint)
{
    const bool isCharacter = codePoint != 0 && codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
    out += "&#";
    out += std::to_string(isCharacter ? codePoint : 0xFFFDu);
    out += ';';
}

}  // namespace rtf2html
