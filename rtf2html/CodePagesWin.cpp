#include <windows.h>

#include "rtf2html/CodePages.h"

namespace rtf2html {

namespace {

class CWindowsCodePages final : public ICodePages {
public:
    unsigned AnsiCodePage() override { return ::GetACP(); }

    bool IsAvailable(unsigned codePage) override
    {
        // UTF-8 and the other pages of longer characters are not read here;
        // their bytes stay as they are.
        CPINFO info;
        return ::GetCPInfo(codePage, &info) != FALSE && info.MaxCharSize <= 2;
    }

    bool IsLeadByte(unsigned codePage, unsigned char byte) override
    {
        return ::IsDBCSLeadByteEx(codePage, byte) != FALSE;
    }

    char32_t ToUnicode(unsigned codePage, const char* bytes, std::size_t count) override
    {
        if (count == 0 || count > 2)
            return 0;
        wchar_t wide[2];
        int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(count), wide, 2);
        // A few pages, the symbol page among them, take no flags.
        if (n == 0 && ::GetLastError() == ERROR_INVALID_FLAGS)
            n = ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), wide, 2);
        const char32_t first = n >= 1 ? static_cast<char32_t>(wide[0]) : 0;
        if (n == 1 && (first < 0xD800 || first > 0xDFFF))
            return first;
        const char32_t second = n == 2 ? static_cast<char32_t>(wide[1]) : 0;
        if (n == 2 && first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF)
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        return 0;
    }

    bool AppendAnsi(char32_t character, std::string& out) override
    {
        wchar_t wide[2];
        int nWide = 1;
        if (character >= 0x10000) {
            wide[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
            wide[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
            nWide = 2;
        } else {
            wide[0] = static_cast<wchar_t>(character);
        }
        char bytes[8];
        // Without best fit a character the page lacks becomes the default
        // character, which is reported, instead of a look-alike.
        BOOL bDefaultUsed = FALSE;
        int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, nWide, bytes, static_cast<int>(sizeof bytes),
                                      nullptr, &bDefaultUsed);
        if (n == 0 && ::GetLastError() == ERROR_INVALID_FLAGS) {
            // A UTF-8 ANSI code page takes neither the flag nor the report,
            // and holds every character.
            bDefaultUsed = FALSE;
            n = ::WideCharToMultiByte(CP_ACP, 0, wide, nWide, bytes, static_cast<int>(sizeof bytes), nullptr, nullptr);
        }
        if (n <= 0 || bDefaultUsed)
            return false;
        out.append(bytes, static_cast<std::size_t>(n));
        return true;
    }
};

}  // namespace

ICodePages& WindowsCodePages()
{
    static CWindowsCodePages codePages;
    return codePages;
}

}  // namespace rtf2html
