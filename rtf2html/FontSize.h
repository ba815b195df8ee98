#pragma once
// The editor offers seven text sizes; each maps to one of HTML's seven font
// sizes. Every other size is shown as HTML's default size.
#include <string>
#include <string_view>

namespace rtf2html {

// word is the size control word with its parameter, e.g. "fs28". Only its last
// two characters are read, so "fs120" maps like "fs20" and "fs8" like any
// unknown size: posts written before keep the sizes they were published with.
std::string MapFontSize(std::string_view word);

}  // namespace rtf2html
