#pragma once
// Path and text-file rules shared by the settings files, the output object and
// the post composition. Paths are 8-bit ANSI strings with '\' as separator.
// Nothing here touches the file system, so the rules are testable anywhere.
#include <string>

namespace util {

constexpr std::size_t kMaxPath = 260;

// Appends '\' unless the path already ends with one. The path is extended
// either way; the result says whether it still fits the platform's limit.
bool AppendBackslash(std::string& path);

// "X:\..." or "\\server\share\...": the forms that name the same file
// whatever the current drive and folder are.
bool IsFullyQualifiedPath(const std::string& path);

// Parent folder of a path; a trailing separator does not count as a level.
// A path without '\' or ':' is its own parent.
std::string GetParentPath(const std::string& path);

enum class TextEncoding { Ansi, Utf8, Utf16 };

// Looks at the first bytes of a file. Sets bomLength to the bytes to skip.
TextEncoding DetectTextEncoding(const void* head, std::size_t size, std::size_t& bomLength);

// Directory creation with the platform's calls injected, so the order in
// which a chain of folders is made can be observed.
class IDirectorySystem {
public:
    virtual bool DirectoryExists(const std::string& path) = 0;
    virtual bool CreateDirectory(const std::string& path) = 0;
protected:
    ~IDirectorySystem() = default;
};

// Creates the folder and every missing parent, outermost first. Reports only
// the creation of the last folder: a failed parent shows up as a failed child.
bool CreateDirectoryChain(const std::string& path, IDirectorySystem& fs);

}  // namespace util
