#pragma once
// Blog type codes and the rules the account dialogs draw from them.
#include <string>

namespace account {

enum BlogType : int {
    kBlogTypeTypePad = 0,
    kBlogTypeWordPress = 1,  // the hosted service; the send and options flows use it
    kBlogTypeMovable = 2,
    kBlogTypeLiveJournal = 3,
};

// Only a Movable Type blog names its own server and endpoint.
bool UsesServerFields(int nBlogType);

// String id of the type's label in the caption, 0 for an unknown type.
unsigned BlogTypeLabelId(int nBlogType);

// Fills the caption format's "%s" with the label, as the string table's
// printf-style format means it ("%%" is a per-cent sign). Only one label is
// given, so any further conversion is kept as written rather than read from
// nowhere.
std::string FormatLoginTitle(const std::string& format, const std::string& label);

}  // namespace account
