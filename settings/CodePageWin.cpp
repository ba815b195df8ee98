#include <windows.h>

#include "platform/Text.h"
#include "settings/CodePage.h"

namespace settings {

namespace {

bool AnsiIsLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}

std::string AnsiFromUtf16(const std::wstring& text)
{
    return platform::AnsiFromWide(text, CP_ACP);
}

const CodePage kAnsi = {AnsiIsLeadByte, AnsiFromUtf16};

}  // namespace

void UseAnsiCodePage()
{
    SetCodePage(&kAnsi);
}

}  // namespace settings
