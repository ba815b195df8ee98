#pragma once
// The debug dump: with the folder c:\DebugBlogHTML in place, each post's RTF
// and HTML are written there before the post. Any user of a machine may make
// a folder at the root of C:, so the folder is used only when it is a plain
// folder that this user or the Administrators own, and the files are written
// without following a link planted among them; otherwise nothing is dumped.
#include <windows.h>

#include <string>

#include "platform/UniqueHandle.h"

namespace publish {

class CDebugDumpFolder {
public:
    // Opens and checks the folder; IsUsable says whether it passed.
    explicit CDebugDumpFolder(const std::string& path);

    bool IsUsable() const { return static_cast<bool>(m_hFolder); }
    // Writes the file name in the folder with text-mode bytes, replacing an
    // earlier one. A file that is a link (symbolic, junction or a second
    // name of another file) is left alone: false.
    bool Write(const char* name, const std::string& text) const;

private:
    std::wstring m_strPath;
    // Held while the dump is written, without delete sharing, so the folder
    // cannot be swapped for a link between the check and the writes.
    platform::CFileHandle m_hFolder;
};

// True when the object behind the handle is owned by this process's user or
// by the Administrators group.
bool IsOwnedByUserOrAdministrators(HANDLE hObject);

}  // namespace publish
