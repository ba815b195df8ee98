#pragma once
// Text rules of the Blog Editor's links, free of the platform: the display
// text proposed from a selection, the address built from the link dialog's
// fields, and the RTF that puts a link into the entry.
#include <functional>
#include <string>

namespace editor {

// The selected text up to its first "#": what follows a "#" is taken for
// the hidden address part of a link already there.
std::string ProposedLinkText(const std::string& selected);

// An address that starts with http:, https:, ftp: or mailto: (in any case)
// is kept, without the spaces around it; an empty one stays empty; any other
// gets "http://" in front.
std::string NormalizeLinkAddress(const std::string& address);

// "mailto:" + address, then "?subject=" + subject when there is one.
std::string MailtoAddress(const std::string& address, const std::string& subject);

// Text escaped for an RTF body: backslash and braces escaped, bytes above
// 0x7F written as \'hh, so the control reads back exactly these bytes.
std::string EscapeRtfText(const std::string& text);

// The link as the entry holds it: the visible text, then hidden text made of
// "#", a quote, the address and a quote. Streamed in to replace a selection.
// The text is 8-bit text of codePage, which the RTF names so the control
// reads its bytes in that page whatever its own default.
std::string BuildLinkRtf(const std::string& displayText, const std::string& address, unsigned codePage);

// True when the text holds nothing but white space.
bool IsBlank(const std::string& text);

// Length of the hidden part that starts at text[0]: from the "#" (at 0 or 1)
// up to and including the second double quote; 0 when there is no complete
// hidden part. Counted in characters, as the control counts its positions: in
// a double-byte code page a lead byte and its trail byte are one character
// (isLeadByte says which bytes lead; none do when it is empty).
std::size_t HiddenPartLength(const std::string& textAfterLink,
                             const std::function<bool(unsigned char)>& isLeadByte = nullptr);

}  // namespace editor
