#pragma once
// The folder of the capture copy. The publishing library takes the image's
// path as 8-bit text in the ANSI code page, so the copy must go where such a
// path reaches: the user's temporary folder when its name survives the code
// page, else that folder's short (8.3) form, else a folder of the user's own
// under the machine's shared application data.
#include <windows.h>

#include <string>

namespace output {

// The chosen folder, ending with '\', in the ANSI code page; empty when no
// folder of the three has such a path.
std::string ChooseImageFolder();

// The shared application data folder ("C:\ProgramData"): a name the system
// gives itself, plain on every installation, and a place where every user may
// make a folder. Replaceable so that a test can take it away; returns the
// previous one, null restores the platform's.
using SharedFolderFn = std::wstring (*)();
SharedFolderFn SetSharedFolderHandler(SharedFolderFn pfn);

}  // namespace output
