#pragma once
// The post body arrives with two "%s" placeholders (link target and image
// source). They are replaced as text, never through a format function, so a
// stray per-cent sequence in an entry cannot read arguments that are not there.
#include <string>

namespace qtvpublish {

// Every "%s" becomes the address, made safe for a quoted HTML attribute.
std::string FillImageAddress(const std::string& body, const std::string& address);

}  // namespace qtvpublish
