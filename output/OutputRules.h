#pragma once
// Text rules of the output object that do not need the platform: the menu the
// host shows, the reading of its command ids, and the image copy's file name.
#include <string>

namespace output {

enum MenuCommand { kMenuSend = 0, kMenuOptions = 1 };

// The host's drop-down menu, one line. Labels go in as loaded, unescaped.
std::string BuildMenuXml(const std::string& sendLabel, const std::string& optionsLabel,
                         const std::string& helpLabel);

// Decimal reading of a command id: leading white space and one sign are
// skipped, then leading digits are read; no digits reads as 0.
int ParseCommandId(const std::string& id);

// Extension for a host format code. Codes outside the known set are saved as
// PNG, so the code itself is corrected to 5.
const char* ImageExtensionForFormat(long& formatCode);

// Turns the platform's unique "....tmp" name into the image name by replacing
// the file name's final ".tmp" only; folders may contain ".tmp" too.
std::string ReplaceTemporaryExtension(const std::string& tempPath, const std::string& extension);

// The blog's address as the popup shows it: without its scheme, then without
// a leading "www.".
std::string PopupDisplayText(const std::string& blogAddress);

// True for an http or https address with a host: the only kind the popup's
// click hands to the shell. The address comes from the blog service.
bool IsWebAddress(const std::string& address);

}  // namespace output
