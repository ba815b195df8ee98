#pragma once
// Tells the user why the blog list could not be fetched, in a message box
// owned by the active window. A refused log-in is not told here: the
// accessory sends the user back to its log-in dialog.
#include <string>

#include "qtvpublish/real/XmlRpcClient.h"

namespace qtvpublish {

// The message for an outcome, from this module's string table, with the
// address shown without any user information and the password, should a
// server echo it, masked.
std::string FailureText(const CCallResult& result, const std::string& url, const std::string& password);

void ShowFailureNotice(const std::string& text);

}  // namespace qtvpublish
