#pragma once
// WinHTTP's session, connection and request handles, each with one owner.
#include <windows.h>
#include <winhttp.h>

#include "platform/UniqueHandle.h"

namespace qtvpublish {

namespace detail {
inline void CloseInternet(HINTERNET h) { ::WinHttpCloseHandle(h); }
}  // namespace detail

using CInternet = platform::CUniqueAny<HINTERNET, detail::CloseInternet>;

}  // namespace qtvpublish
