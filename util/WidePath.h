#pragma once
// Folders and files through the wide (UTF-16) API, and the 8-bit form of a
// path for the contracts that carry paths in the ANSI code page (the
// publishing library, the help viewer, the registry scripts). A user whose
// profile folder is named in another script ("C:\Users\Андрей" on a Western
// system) has temporary and data folders that no 8-bit string can name.
#include <windows.h>

#include <string>

namespace util {

// The folder with a '\' at its end.
std::wstring WithBackslash(std::wstring folder);
// The user's temporary folder, ending with '\'; empty when there is none.
std::wstring TempFolder();
// The full path of a loaded module, however long; empty on failure.
std::wstring ModuleFileName(HMODULE hModule);

// True when the code page gives back exactly this text: every character
// survives the trip to 8 bits and back, none as '?' or a look-alike.
bool SurvivesAnsi(const std::wstring& text);
// The path as the ANSI code page holds it: the path itself when it survives
// the trip, else its short (8.3) form when that does, else empty. Only an
// existing file or folder has a short form, and a volume may have them
// switched off.
std::string AnsiPathOf(const std::wstring& path);

// The short-name call of AnsiPathOf, replaceable so that a test can play a
// volume without short names. Returns the previous one; null restores the
// platform's.
using ShortPathFn = DWORD(WINAPI*)(LPCWSTR pszLongPath, LPWSTR pszShortPath, DWORD nChars);
ShortPathFn SetShortPathHandler(ShortPathFn pfn);

}  // namespace util
