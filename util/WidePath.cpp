#include "util/WidePath.h"

#include <vector>

#include "platform/Text.h"

namespace util {

namespace {
ShortPathFn g_pfnShortPath = ::GetShortPathNameW;
}  // namespace

std::wstring WithBackslash(std::wstring folder)
{
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

std::wstring TempFolder()
{
    // The answer's length without the terminator, or the size it needs.
    wchar_t small[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathW(MAX_PATH + 1, small);
    if (n == 0)
        return {};
    if (n <= MAX_PATH)
        return WithBackslash(std::wstring(small, n));
    std::vector<wchar_t> large(n + 1);
    n = ::GetTempPathW(static_cast<DWORD>(large.size()), large.data());
    return n > 0 && n < large.size() ? WithBackslash(std::wstring(large.data(), n)) : std::wstring();
}

std::wstring ModuleFileName(HMODULE hModule)
{
    // A full buffer means the name was cut: try again with more room.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD n = ::GetModuleFileNameW(hModule, buffer.data(), size);
        if (n == 0)
            return {};
        if (n < size)
            return std::wstring(buffer.data(), n);
    }
    return {};
}

bool SurvivesAnsi(const std::wstring& text)
{
    return platform::FitsCodePage(text, CP_ACP) &&
           platform::WideFromAnsi(platform::AnsiFromWide(text, CP_ACP), CP_ACP) == text;
}

std::string AnsiPathOf(const std::wstring& path)
{
    if (path.empty())
        return {};
    if (SurvivesAnsi(path))
        return platform::AnsiFromWide(path, CP_ACP);
    const DWORD n = g_pfnShortPath(path.c_str(), nullptr, 0);
    if (n == 0)
        return {};
    std::vector<wchar_t> buffer(n);
    const DWORD got = g_pfnShortPath(path.c_str(), buffer.data(), n);
    if (got == 0 || got >= n)
        return {};
    const std::wstring shortPath(buffer.data(), got);
    return SurvivesAnsi(shortPath) ? platform::AnsiFromWide(shortPath, CP_ACP) : std::string();
}

ShortPathFn SetShortPathHandler(ShortPathFn pfn)
{
    const ShortPathFn previous = g_pfnShortPath;
    g_pfnShortPath = pfn ? pfn : ::GetShortPathNameW;
    return previous;
}

}  // namespace util
