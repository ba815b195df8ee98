#pragma once
// File, folder and window helpers over the platform. Paths go through the
// wide API, so a folder named in any script works; the 8-bit overloads take
// the ANSI code page. None of them shows anything; failures come back false.
#include <windows.h>

#include <string>

#include "util/PathRules.h"

namespace util {

bool DirectoryExists(const std::wstring& path);
bool DirectoryExists(const std::string& path);
// True for anything at the path, file or folder.
bool FileExists(const std::wstring& path);
bool FileExists(const std::string& path);
// Text files of ours are settings files well under a kilobyte; anything
// larger is not one of them and is not read.
constexpr unsigned long kMaxTextFileBytes = 64 * 1024;
// Reads a small text file into UTF-16: UTF-8 with its mark, otherwise ANSI.
// UTF-16 files and files above kMaxTextFileBytes are refused; the output is
// untouched on failure.
bool ReadTextFile(const std::wstring& path, std::wstring& text);
bool ReadTextFile(const std::string& path, std::wstring& text);
// Gives the file exactly these bytes, or leaves it as it was: the bytes go to
// a new file in the same folder, which then takes the old one's place in one
// step. A crash, a full disk or a lock at any point cannot leave a half-written
// file under the path. False on any failure, with nothing left behind.
bool ReplaceFileContents(const std::wstring& path, const std::string& bytes);
bool ReplaceFileContents(const std::string& path, const std::string& bytes);
// The write call of ReplaceFileContents, replaceable so that a test can make
// a write fail half-way. Returns the previous one; null restores the platform's.
using WriteFileFn = BOOL(WINAPI*)(HANDLE hFile, LPCVOID pBuffer, DWORD nBytes, LPDWORD pnWritten,
                                  LPOVERLAPPED pOverlapped);
WriteFileFn SetWriteFileHandler(WriteFileFn pfn);
bool CreateDirectoryChain(const std::wstring& path);
bool CreateDirectoryChain(const std::string& path);
bool EnsureDirectory(const std::wstring& path);
bool EnsureDirectory(const std::string& path);
bool BringWindowToForeground(HWND hWnd);

}  // namespace util
