#pragma once
// The HTML Help viewer behind a replaceable function, so tests can see which
// topic would have opened without a viewer window.
#include <windows.h>

#include <string>

namespace platform {

using HtmlHelpFn = HWND(WINAPI*)(HWND hwndCaller, LPCSTR pszFile, UINT uCommand, DWORD_PTR dwData);

// Opens a help file's default topic, owned by the given window.
HWND ShowHelpTopic(HWND hOwner, const std::string& helpPath);
// Replaces the viewer; returns the previous one. Null restores the platform's.
HtmlHelpFn SetHtmlHelpHandler(HtmlHelpFn pfn);

}  // namespace platform
