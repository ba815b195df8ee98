#pragma once
// Conversions at the edges of the system: 8-bit ANSI strings inside, UTF-16
// only in BSTRs, in files read from disk and for drawing.
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace platform {

std::wstring WideFromAnsi(const std::string& text, UINT codePage = CP_ACP);
std::string AnsiFromWide(const wchar_t* text, int length, UINT codePage = CP_ACP);
inline std::string AnsiFromWide(const std::wstring& text, UINT codePage = CP_ACP)
{
    return AnsiFromWide(text.c_str(), static_cast<int>(text.size()), codePage);
}

// True when the code page holds every character of the text as itself, not
// as the default character or a look-alike.
bool FitsCodePage(const std::wstring& text, UINT codePage = CP_ACP);

// Owned BSTR.
class CBstr {
public:
    CBstr() = default;
    explicit CBstr(const std::wstring& text) : m_b(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~CBstr() { ::SysFreeString(m_b); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;

    static CBstr FromAnsi(const std::string& text, UINT codePage = CP_THREAD_ACP)
    {
        return CBstr(WideFromAnsi(text, codePage));
    }
    BSTR Get() const { return m_b; }
    BSTR* Put()
    {
        ::SysFreeString(m_b);
        m_b = nullptr;
        return &m_b;
    }
    BSTR Detach()
    {
        BSTR b = m_b;
        m_b = nullptr;
        return b;
    }
    std::string ToAnsi(UINT codePage = CP_THREAD_ACP) const
    {
        return m_b ? AnsiFromWide(m_b, static_cast<int>(::SysStringLen(m_b)), codePage) : std::string();
    }
    CBstr(CBstr&& o) noexcept : m_b(o.Detach()) {}

private:
    BSTR m_b = nullptr;
};

}  // namespace platform
