#pragma once
// The code page of 8-bit text, as far as platform-free code needs to know it:
// which bytes start a double-byte character, and how UTF-16 text becomes
// 8-bit text. The Windows shell installs the ANSI code page when the module
// loads (UseAnsiCodePage, from settings/PostContextSettings.cpp); until then,
// and natively, every byte is a character of its own and UTF-16 units above
// 0xFF become '?'.
#include <string>

namespace settings {

struct CodePage {
    bool (*pfnIsLeadByte)(unsigned char byte);
    std::string (*pfnFromUtf16)(const std::wstring& text);
};

// The single-byte code page described above.
const CodePage& SingleByteCodePage();

const CodePage& CurrentCodePage();
// Null restores the single-byte code page. The object must outlive its use.
void SetCodePage(const CodePage* codePage);

inline bool IsLeadByte(char c)
{
    return CurrentCodePage().pfnIsLeadByte(static_cast<unsigned char>(c));
}

inline std::string FromUtf16(const std::wstring& text)
{
    return CurrentCodePage().pfnFromUtf16(text);
}

#ifdef _WIN32
// Installs the process's ANSI code page (Windows shell only).
void UseAnsiCodePage();
#endif

}  // namespace settings
