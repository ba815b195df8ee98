#pragma once
// What the converter needs to know of code pages, given by the platform: the
// rich edit control writes text of another script as bytes of that script's
// code page, and the post carries 8-bit text of the ANSI code page. Windows
// answers with its own conversions; native builds with the C library's iconv.
#include <cstddef>
#include <string>

namespace rtf2html {

class ICodePages {
public:
    // The code page of the 8-bit text the post is made of.
    virtual unsigned AnsiCodePage() = 0;
    // Whether text in codePage can be read here, one or two bytes a character.
    virtual bool IsAvailable(unsigned codePage) = 0;
    virtual bool IsLeadByte(unsigned codePage, unsigned char byte) = 0;
    // The character that one byte, or a lead byte and its trail byte, stand
    // for; 0 when they stand for none.
    virtual char32_t ToUnicode(unsigned codePage, const char* bytes, std::size_t count) = 0;
    // Appends the character as the ANSI code page holds it, itself and not a
    // look-alike; false, with nothing appended, when that page lacks it.
    virtual bool AppendAnsi(char32_t character, std::string& out) = 0;

protected:
    ~ICodePages() = default;
};

#ifdef _WIN32
// The system's code pages and the process's ANSI code page (Windows shell only).
ICodePages& WindowsCodePages();
#endif

}  // namespace rtf2html
