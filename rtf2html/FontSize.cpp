#include "rtf2html/FontSize.h"

namespace rtf2html {

std::string MapFontSize(std::string_view word)
{
    const std::string_view tail = word.size() > 2 ? word.substr(word.size() - 2) : word;
    int halfPoints = 0;
    for (char c : tail) {
        if (c < '0' || c > '9')
            break;
        halfPoints = halfPoints * 10 + (c - '0');
    }
    switch (halfPoints) {
    case 17: return "1";
    case 20: return "2";
    case 24: return "3";
    case 28: return "4";
    case 36: return "5";
    case 48: return "6";
    case 72: return "7";
    default: return "3";
    }
}

}  // namespace rtf2html
