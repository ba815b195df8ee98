#include "util/PathRules.h"

#include <cstring>

namespace util {

bool AppendBackslash(std::string& path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path.size() < kMaxPath;
}

bool IsFullyQualifiedPath(const std::string& path)
{
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() < 3)
        return false;
    const bool drive = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    if (drive && path[1] == ':' && separator(path[2]))
        return true;
    // A share, but not the device forms "\\.\" and "\\?\".
    return separator(path[0]) && separator(path[1]) && !separator(path[2]) && path[2] != '.' && path[2] != '?';
}

std::string GetParentPath(const std::string& input)
{
    // Iterative form of "a trailing separator does not count as a level":
    // cutting at a final separator repeats the search on what is left.
    std::string path = input;
    for (;;) {
        while (!path.empty() && std::strchr(" \t\r\n\v\f", path.back()) && path.back() != '\0')
            path.pop_back();
        std::size_t sep = path.rfind('\\');
        if (sep == std::string::npos)
            sep = path.rfind(':');
        if (sep == std::string::npos)
            return path;
        const bool trailing = (sep + 1 == path.size());
        path.erase(sep);
        if (!trailing)
            return path;
    }
}

TextEncoding DetectTextEncoding(const void* head, std::size_t size, std::size_t& bomLength)
{
    const auto* b = static_cast<const unsigned char*>(head);
    bomLength = 0;
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        bomLength = 3;
        return TextEncoding::Utf8;
    }
    if (size >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        bomLength = 2;
        return TextEncoding::Utf16;
    }
    return TextEncoding::Ansi;
}

bool CreateDirectoryChain(const std::string& path, IDirectorySystem& fs)
{
    if (path.size() <= 2 || fs.DirectoryExists(path))
        return true;
    const std::string parent = GetParentPath(path);
    if (parent == path)
        return true;
    CreateDirectoryChain(parent, fs);
    return fs.CreateDirectory(path);
}

}  // namespace util
