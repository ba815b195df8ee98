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
    // Best fit would turn characters the code page lacks into look-alikes
    // ("\uFF41" into "a"), so text could change meaning on its way: a
    // fullwidth address would pass for an ASCII one. Without it they become
    // the default character. Code pages that take no flags (UTF-8 and the
    // stateful ones, also behind CP_ACP) have no best fit to turn off.
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    int n = ::WideCharToMultiByte(codePage, flags, text, length, nullptr, 0, nullptr, nullptr);
    if (n == 0 && ::GetLastError() == ERROR_INVALID_FLAGS) {
        flags = 0;
        n = ::WideCharToMultiByte(codePage, flags, text, length, nullptr, 0, nullptr, nullptr);
    }
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, flags, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

bool FitsCodePage(const std::wstring& text, UINT codePage)
{
    if (text.empty())
        return true;
    BOOL bDefaultUsed = FALSE;
    const int n = ::WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, &bDefaultUsed);
    // Code pages that take no flags (UTF-8 among them) hold every character.
    if (n == 0 && ::GetLastError() == ERROR_INVALID_FLAGS)
        return true;
    return n > 0 && !bDefaultUsed;
}

}  // namespace platform
