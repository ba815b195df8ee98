#pragma once
// The stored password's scrambled text. Each byte is combined with a fixed key
// by exclusive or; a result that could not survive the trip through the file
// is written as '`' and two hex digits instead. That covers the zero byte,
// line ends (text-mode writing and reading change them), every byte above 0x7E
// (the code page round trip of the reader may change it, and in a double-byte
// code page it would swallow the next character) and '`' itself. So the stored
// text is printable ASCII, and every password of bytes 1 to 255 comes back as
// typed. Ordinary ASCII passwords scramble byte for byte.
#include <string>

namespace settings {

constexpr unsigned char kPasswordKey = 0x1F;
constexpr char kPasswordEscape = '`';

std::string ScramblePassword(const std::string& password);
// Also reads plain exclusive-or text: a '`' without two hex digits is a byte
// like any other. A byte that would come back as zero is dropped.
std::string UnscramblePassword(const std::string& stored);

}  // namespace settings
