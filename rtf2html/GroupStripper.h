#pragma once
// Removes every RTF group ("{...}") from the entry body: pictures, objects,
// bullet texts and the like contribute nothing to the post.
#include <string>
#include <string_view>

namespace rtf2html {

// Returns text with its groups removed. A backslash escapes the character
// after it, so "\{" and "\}" are text and never open or close a group, also
// inside a group. A "{" without a matching "}" is dropped alone and what
// follows it is kept. The copy stops after the first "}" that closes no group:
// it ends the body, and nothing after it is ever converted.
std::string StripGroups(std::string_view text);

}  // namespace rtf2html
