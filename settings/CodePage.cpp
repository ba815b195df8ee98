#include "settings/CodePage.h"

namespace settings {

namespace {

bool NoLeadBytes(unsigned char)
{
    return false;
}

std::string Latin1FromUtf16(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text)
        result += static_cast<unsigned long>(c) <= 0xFF ? static_cast<char>(c) : '?';
    return result;
}

const CodePage kSingleByte = {NoLeadBytes, Latin1FromUtf16};
const CodePage* g_pCodePage = &kSingleByte;

}  // namespace

const CodePage& SingleByteCodePage()
{
    return kSingleByte;
}

const CodePage& CurrentCodePage()
{
    return *g_pCodePage;
}

void SetCodePage(const CodePage* codePage)
{
    g_pCodePage = codePage ? codePage : &kSingleByte;
}

}  // namespace settings
