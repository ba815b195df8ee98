#include "util/FileUtil.h"

#include <algorithm>
#include <vector>

#include "platform/Text.h"
#include "platform/UniqueHandle.h"

namespace util {

namespace {
std::wstring Wide(const std::string& ansiPath) { return platform::WideFromAnsi(ansiPath, CP_ACP); }
}  // namespace

bool DirectoryExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) { return DirectoryExists(Wide(path)); }

bool FileExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const std::string& path) { return FileExists(Wide(path)); }

bool ReadTextFile(const std::string& path, std::wstring& text) { return ReadTextFile(Wide(path), text); }

bool ReadTextFile(const std::wstring& path, std::wstring& text)
{
    platform::CFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size))
        return false;
    if (size.QuadPart > static_cast<LONGLONG>(kMaxTextFileBytes))
        return false;
    std::vector<char> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t got = 0;
    while (got < bytes.size()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() - got);
        if (!::ReadFile(file.Get(), bytes.data() + got, chunk, &n, nullptr))
            return false;
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);

    std::size_t skip = 0;
    const TextEncoding encoding = DetectTextEncoding(bytes.data(), bytes.size(), skip);
    if (encoding == TextEncoding::Utf16)
        return false;
    const char* begin = bytes.data() + skip;
    std::size_t length = bytes.size() - skip;
    // The conversion stops at the first zero byte.
    for (std::size_t i = 0; i < length; ++i) {
        if (begin[i] == '\0') {
            length = i;
            break;
        }
    }
    std::wstring result;
    if (length > 0) {
        const UINT codePage = encoding == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP;
        const int n = ::MultiByteToWideChar(codePage, 0, begin, static_cast<int>(length), nullptr, 0);
        if (n > 0) {
            result.resize(static_cast<std::size_t>(n));
            ::MultiByteToWideChar(codePage, 0, begin, static_cast<int>(length), &result[0], n);
        }
    }
    text.swap(result);
    return true;
}

namespace {

WriteFileFn g_pfnWriteFile = ::WriteFile;

bool WriteAll(HANDLE hFile, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!g_pfnWriteFile(hFile, bytes.data() + done, chunk, &n, nullptr) || n == 0)
            return false;
        done += n;
    }
    return true;
}

// The data must be on the disk before the new name is: otherwise a crash
// just after the replacement could leave the path naming an empty file.
bool WriteWholeFile(const wchar_t* path, const std::string& bytes)
{
    platform::CFileHandle file(
        ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
    return ::CloseHandle(file.Release()) && written;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes)
{
    return ReplaceFileContents(Wide(path), bytes);
}

bool ReplaceFileContents(const std::wstring& path, const std::string& bytes)
{
    const std::size_t sep = path.find_last_of(L"\\:");
    const std::wstring folder = sep == std::wstring::npos ? std::wstring(L".") : path.substr(0, sep + 1);
    wchar_t temp[MAX_PATH] = {};
    if (!::GetTempFileNameW(folder.c_str(), L"wps", 0, temp))
        return false;
    if (WriteWholeFile(temp, bytes) &&
        ::MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ::DeleteFileW(temp);
    return false;
}

WriteFileFn SetWriteFileHandler(WriteFileFn pfn)
{
    const WriteFileFn previous = g_pfnWriteFile;
    g_pfnWriteFile = pfn ? pfn : ::WriteFile;
    return previous;
}

namespace {
// The platform-free chain rule cuts paths at '\\' and ':' only; in UTF-8
// no byte of another character can be taken for either, so the rule walks
// a path of any script and each folder is made through the wide API.
class CPlatformDirectories final : public IDirectorySystem {
public:
    bool DirectoryExists(const std::string& utf8Path) override
    {
        return util::DirectoryExists(platform::WideFromAnsi(utf8Path, CP_UTF8));
    }
    bool CreateDirectory(const std::string& utf8Path) override
    {
        return ::CreateDirectoryW(platform::WideFromAnsi(utf8Path, CP_UTF8).c_str(), nullptr) != 0;
    }
};
}  // namespace

bool CreateDirectoryChain(const std::wstring& path)
{
    CPlatformDirectories fs;
    return util::CreateDirectoryChain(platform::AnsiFromWide(path, CP_UTF8), fs);
}

bool CreateDirectoryChain(const std::string& path) { return CreateDirectoryChain(Wide(path)); }

bool EnsureDirectory(const std::wstring& path)
{
    return DirectoryExists(path) || CreateDirectoryChain(path);
}

bool EnsureDirectory(const std::string& path) { return EnsureDirectory(Wide(path)); }

bool BringWindowToForeground(HWND hWnd)
{
    ::BringWindowToTop(hWnd);
    if (::SetForegroundWindow(hWnd) && ::GetForegroundWindow() == hWnd)
        return true;

    HWND hForeground = ::GetForegroundWindow();
    for (int i = 0; !hForeground && i < 10; ++i) {
        ::Sleep(10);
        hForeground = ::GetForegroundWindow();
    }
    const DWORD foregroundThread = hForeground ? ::GetWindowThreadProcessId(hForeground, nullptr) : 0;
    const DWORD ownThread = ::GetCurrentThreadId();
    // Only a thread that shares input with the foreground one may take it over.
    if (hForeground && foregroundThread && ownThread && foregroundThread != ownThread &&
        ::AttachThreadInput(ownThread, foregroundThread, TRUE)) {
        ::SetForegroundWindow(hWnd);
        ::AttachThreadInput(ownThread, foregroundThread, FALSE);
    }
    ::SetForegroundWindow(hWnd);
    return ::GetForegroundWindow() == hWnd;
}

}  // namespace util
