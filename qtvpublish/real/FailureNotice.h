#pragma once
// Tells the user why the blog list could not be fetched, in a message box
// owned by the active window. A refused log-in is not told here: the
// accessory sends the user back to its log-in dialog.
#include <windows.h>

#include <cstddef>
#include <string>

#include "qtvpublish/real/XmlRpcClient.h"

namespace qtvpublish {

// At most this many characters of what a server answered reach a message.
constexpr std::size_t kMaxServerText = 500;

// The message for an outcome, from this module's string table, with the
// addresses shown without any user information.
std::string FailureText(const CCallResult& result, const std::string& url, const std::string& password);
// A server's own words (UTF-8) for a message: every occurrence of the
// password (ANSI), however short, masked, then cut to kMaxServerText.
std::string ServerText(const std::string& utf8, const std::string& password);

// Owned by hOwner, or by the active window when it is null.
void ShowFailureNotice(const std::string& text, HWND hOwner);

}  // namespace qtvpublish
