#pragma once
// How an XML-RPC fault is read: a refused log-in sends the user back to the
// log-in dialog, a disabled XML-RPC service is explained, anything else is a
// plain failure.
#include <string>

namespace qtvpublish {

// WordPress answers 403 "Incorrect username or password."; Movable Type and
// other MetaWeblog servers word it differently, so the text counts too.
bool IsRefusedLogin(int faultCode, const std::string& faultText);
// WordPress's fault when an administrator or a host switched XML-RPC off.
bool IsXmlRpcDisabled(int faultCode);

}  // namespace qtvpublish
