#pragma once
// Reads "key=value" lines (LF or CR LF) such as the stand-in library's answers
// file and the local WordPress's environment file.
#include <string>

namespace util {

// The value of the first line that starts with key followed by "=".
bool FindKeyValue(const std::string& text, const std::string& key, std::string& value);

}  // namespace util
