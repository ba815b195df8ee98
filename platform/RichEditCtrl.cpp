#include "platform/RichEditCtrl.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Text.h"

namespace platform {

namespace {

HMODULE g_hRichEdit = nullptr;

// The stream callbacks' cookie carries a pointer to one of these.
struct CStreamSource {
    const std::string* text;
    std::size_t offset;
};

DWORD CALLBACK ReadChunk(DWORD_PTR cookie, LPBYTE buffer, LONG nWanted, LONG* pnGiven) noexcept
{
    auto* source = reinterpret_cast<CStreamSource*>(cookie);
    const std::size_t left = source->text->size() - source->offset;
    const std::size_t n = std::min(left, static_cast<std::size_t>(std::max<LONG>(nWanted, 0)));
    std::memcpy(buffer, source->text->data() + source->offset, n);
    source->offset += n;
    *pnGiven = static_cast<LONG>(n);
    return 0;
}

// The control calls back from its own frames: an exception must not unwind
// through them. A non-zero answer ends the stream and is reported in
// EDITSTREAM::dwError.
DWORD CALLBACK WriteChunk(DWORD_PTR cookie, LPBYTE buffer, LONG nGiven, LONG* pnTaken) noexcept
{
    *pnTaken = 0;
    try {
        auto* sink = reinterpret_cast<std::string*>(cookie);
        // Exactly as many bytes as the chunk holds: RTF may carry NULs at its end.
        sink->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(std::max<LONG>(nGiven, 0)));
    } catch (...) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    *pnTaken = nGiven;
    return 0;
}

}  // namespace

bool EnsureRichEdit()
{
    if (!g_hRichEdit)
        g_hRichEdit = ::LoadLibraryExW(L"riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return g_hRichEdit != nullptr;
}

void ReleaseRichEdit()
{
    if (g_hRichEdit) {
        ::FreeLibrary(g_hRichEdit);
        g_hRichEdit = nullptr;
    }
}

CHARFORMAT2A CRichEditCtrl::GetSelectionCharFormat() const
{
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_ALL2;
    SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

PARAFORMAT2 CRichEditCtrl::GetParaFormat() const
{
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALIGNMENT;
    SendMessage(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format;
}

std::string CRichEditCtrl::GetSelText() const
{
    return AnsiFromWide(GetSelTextW());
}

std::string CRichEditCtrl::GetTextRange(LONG nFirst, LONG nLast) const
{
    const std::wstring text = GetTextW();
    const std::size_t first = static_cast<std::size_t>(std::max<LONG>(nFirst, 0));
    const std::size_t last = nLast < 0 ? text.size() : std::min(static_cast<std::size_t>(nLast), text.size());
    if (last <= first)
        return {};
    return AnsiFromWide(text.c_str() + first, static_cast<int>(last - first));
}

std::wstring CRichEditCtrl::GetSelTextW() const
{
    const CHARRANGE range = GetSel();
    return ReadWide(GT_SELECTION, std::max<LONG>(range.cpMax - range.cpMin, 0));
}

std::wstring CRichEditCtrl::GetTextW() const
{
    GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
    return ReadWide(GT_DEFAULT, static_cast<LONG>(SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query))));
}

std::wstring CRichEditCtrl::ReadWide(DWORD dwFlags, LONG nUnits) const
{
    // The buffer's size goes with the request in bytes, so the control can
    // never write past it; room for a paragraph mark written as CR LF.
    std::vector<wchar_t> text(static_cast<std::size_t>(std::max<LONG>(nUnits, 0)) * 2 + 1, L'\0');
    GETTEXTEX request{};
    request.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    request.flags = dwFlags;
    request.codepage = 1200;  // UTF-16
    const LRESULT got = SendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request), reinterpret_cast<LPARAM>(text.data()));
    const std::size_t n = std::min(static_cast<std::size_t>(std::max<LRESULT>(got, 0)), text.size() - 1);
    return std::wstring(text.data(), n);
}

LONG CRichEditCtrl::GetTextLength() const
{
    GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    return static_cast<LONG>(SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query)));
}

void CRichEditCtrl::StreamIn(UINT nFormat, const std::string& text) const
{
    CStreamSource source{&text, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, ReadChunk};
    SendMessage(EM_STREAMIN, nFormat, reinterpret_cast<LPARAM>(&stream));
}

std::string CRichEditCtrl::StreamOut(UINT nFormat) const
{
    std::string text;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&text), 0, WriteChunk};
    SendMessage(EM_STREAMOUT, nFormat, reinterpret_cast<LPARAM>(&stream));
    return text;
}

}  // namespace platform
