#pragma once
// The character classes of RTF's control words, in the "C" locale whatever
// the process's: the tokenizer and the font table's reader share them.
namespace rtf2html {

inline bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace rtf2html
