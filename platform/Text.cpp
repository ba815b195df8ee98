#include "platform/Text.h"

namespace platform {

std::wstring WideFromAnsi(const std::string& text, UINT codePage)
{
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string AnsiFromWide(const wchar_t* text, int length, UINT codePage)
{
    if (!text || length <= 0)
        return {};
    const int n = ::WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace platform
