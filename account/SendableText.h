#pragma once
// The log-in goes to the publishing library as 8-bit text in the code page:
// a character the page cannot hold would be sent as "?" and the log-in could
// never succeed. The account dialogs check their edits when confirmed.
#include <windows.h>

#include <initializer_list>

namespace account {

// True when every edit's text fits the code page. Otherwise says so in a
// message owned by the dialog, puts the caret in the first edit that does
// not fit, and returns false: the dialog stays open.
bool ConfirmSendable(HWND hDlg, std::initializer_list<HWND> edits);

}  // namespace account
