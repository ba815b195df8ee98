#pragma once
// Writing text into the post's HTML. The post body later has "%s" placeholders
// filled in by a printf-style call, so no per-cent sign may reach it as is.
#include <cstdint>
#include <string>
#include <string_view>

namespace rtf2html {

// Entry text: "&", "<", ">" and "%" become references, every other byte is
// copied, so ANSI bytes of the document's code page pass through unchanged.
void AppendEscapedText(std::string& out, std::string_view text);

// A link target inside a double-quoted attribute: only "<", ">" and "%" are
// replaced. "&" stays as the user typed it (mail subjects, query strings);
// a double quote cannot occur, it ends the target.
void AppendEscapedTarget(std::string& out, std::string_view target);

// True when a link target starts with a scheme a post may carry: http, https,
// ftp or mailto, in any case. Anything else (javascript:, data:, a relative
// or empty address) would let pasted text run script on the blog, whose
// administrator's posts are not filtered.
bool IsAllowedLinkTarget(std::string_view target);

// "&#N;" for a Unicode code point; anything that is no character (zero,
// a surrogate half, beyond U+10FFFF) becomes the replacement character.
void AppendCharacterReference(std::string& out, std::uint32_t codePoint);

}  // namespace rtf2html
