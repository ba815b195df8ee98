#pragma once
// File, folder and window helpers over the platform. Paths are 8-bit strings
// in the ANSI code page. None of them shows anything; failures come back false.
#include <windows.h>

#include <string>

#include "util/PathRules.h"

namespace util {

bool DirectoryExists(const std::string& path);
// True for anything at the path, file or folder.
bool FileExists(const std::string& path);
// Reads a small text file into UTF-16: UTF-8 with its mark, otherwise ANSI.
// UTF-16 files are refused; the output is untouched on failure.
bool ReadTextFile(const std::string& path, std::wstring& text);
bool CreateDirectoryChain(const std::string& path);
bool EnsureDirectory(const std::string& path);
bool BringWindowToForeground(HWND hWnd);

}  // namespace util
