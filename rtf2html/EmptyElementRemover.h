#pragma once
// Closing and reopening elements to keep the HTML nested leaves many empty
// pairs ("<b></b>"); this pass removes them, so the post carries only
// elements with content.
#include <string>
#include <string_view>

namespace rtf2html {

// Removes every element whose content is empty, also once the empty elements
// inside it are gone. "<br />" is content. Tags pair by their real nesting;
// a closing tag with no open element of its name is dropped, and elements
// still open at a closing tag of an outer element, or at the end, are closed
// there. One pass, no recursion.
std::string RemoveEmptyElements(std::string_view html);

}  // namespace rtf2html
