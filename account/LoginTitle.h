#pragma once
// Caption of the log-in and options dialogs for a blog type: string 40014
// "%s Login" filled with the type's label from the string table.
#include <string>

namespace account {

// An unknown type gets the format with an empty label.
std::string LoginTitle(int nBlogType);

}  // namespace account
