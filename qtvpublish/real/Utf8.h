#pragma once
// The library's text edges: the caller's ANSI strings go out as UTF-8, the
// server's UTF-16 (as the XML reader hands it over) comes back as ANSI.
#include <string>

#include "platform/Text.h"

namespace qtvpublish {

inline std::string Utf8FromAnsi(const std::string& ansi)
{
    return platform::AnsiFromWide(platform::WideFromAnsi(ansi, CP_ACP), CP_UTF8);
}
inline std::string Utf8FromWide(const std::wstring& text)
{
    return platform::AnsiFromWide(text, CP_UTF8);
}
inline std::string AnsiFromWideText(const std::wstring& text)
{
    return platform::AnsiFromWide(text, CP_ACP);
}
inline std::wstring WideFromUtf8(const std::string& utf8)
{
    return platform::WideFromAnsi(utf8, CP_UTF8);
}

}  // namespace qtvpublish
