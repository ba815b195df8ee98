#pragma once
// The rich edit control 2.0 ("RichEdit20A"): one message per method, the
// format structures' sizes filled in for the caller. Character positions are
// the control's own (a paragraph mark counts one). Text is 8-bit ANSI.
#include <windows.h>
#include <richedit.h>

#include <string>

#include "platform/Wnd.h"

namespace platform {

// Makes the control's window class available in this process: loads the
// platform's rich edit library once and keeps it until ReleaseRichEdit.
bool EnsureRichEdit();
// For the moment the module may still free a library (it is unloading).
void ReleaseRichEdit();

class CRichEditCtrl : public CWnd {
public:
    static constexpr const char* kClassName = "RichEdit20A";

    void SetEventMask(DWORD dwMask) const { SendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(dwMask)); }

    // The selection's character format; dwMask tells which members are
    // uniform over the selection.
    CHARFORMAT2A GetSelectionCharFormat() const;
    void SetSelectionCharFormat(const CHARFORMAT2A& format) const
    {
        SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    // The second version of the format: the first cannot report justified.
    PARAFORMAT2 GetParaFormat() const;
    void SetParaFormat(const PARAFORMAT2& format) const
    {
        SendMessage(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    }

    CHARRANGE GetSel() const
    {
        CHARRANGE range{};
        SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return range;
    }
    void SetSel(LONG nStart, LONG nEnd) const
    {
        CHARRANGE range{nStart, nEnd};
        SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    std::string GetSelText() const;
    // Text of [nFirst, nLast); nLast -1 means the end.
    std::string GetTextRange(LONG nFirst, LONG nLast) const;
    // The same in UTF-16, whose units are the control's positions. The ANSI
    // forms above are made from these: the control's own ANSI messages take
    // no buffer size, and a character may take up to three bytes where the
    // ANSI code page is UTF-8.
    std::wstring GetSelTextW() const;
    std::wstring GetTextW() const;
    LONG GetTextLength() const;
    void ReplaceSel(const std::string& text, bool bCanUndo = true) const
    {
        SendMessage(EM_REPLACESEL, bCanUndo ? TRUE : FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    }

    // Streams the text in (replacing the selection with SFF_SELECTION) or out.
    // nFormat is SF_RTF or SF_TEXT, optionally with SFF_SELECTION.
    void StreamIn(UINT nFormat, const std::string& text) const;
    std::string StreamOut(UINT nFormat) const;

private:
    // EM_GETTEXTEX in UTF-16 for up to nUnits units (GT_SELECTION or the whole text).
    std::wstring ReadWide(DWORD dwFlags, LONG nUnits) const;
};

}  // namespace platform
