// The Blog Editor's formatting commands: character effects, alignment, text
// size, image placement and links, and the toolbars kept in step with the
// text under the caret.
#include "editor/BlogOutputDlg.h"
#include "editor/EntryFormat.h"
#include "editor/LinkDialog.h"
#include "editor/LinkRules.h"
#include "res/resource.h"

namespace {

// Characters the control counts in an 8-bit text: a double-byte character
// of the code page is one.
LONG CharacterCount(const std::string& text)
{
    if (text.empty())
        return 0;
    return ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
}

DWORD EffectOfCommand(UINT nId)
{
    switch (nId) {
    case ID_FORMAT_BOLD: return editor::kEffectBold;
    case ID_FORMAT_ITALIC: return editor::kEffectItalic;
    default: return editor::kEffectUnderline;
    }
}

}  // namespace

void CBlogOutputDlg::PressOneOf(const platform::CToolBarCtrl& bar, UINT nFirst, UINT nLast, UINT nId)
{
    for (UINT id = nFirst; id <= nLast; ++id)
        bar.PressButton(static_cast<int>(id), id == nId);
}

void CBlogOutputDlg::ToggleCharEffect(DWORD dwEffect, DWORD dwValue)
{
    CHARFORMAT2A format = m_editEntry.GetSelectionCharFormat();
    format.dwEffects = (format.dwEffects & dwEffect) ? 0 : dwValue;
    // The size read goes back with it, so a selection of mixed sizes takes
    // the size the control reports for it.
    format.dwMask = dwEffect | CFM_SIZE;
    m_editEntry.SetSelectionCharFormat(format);
}

void CBlogOutputDlg::OnCharEffect(UINT nId)
{
    m_formatBar.PressButton(static_cast<int>(nId), !m_formatBar.IsButtonPressed(static_cast<int>(nId)));
    const DWORD dwEffect = EffectOfCommand(nId);
    ToggleCharEffect(dwEffect, dwEffect);
    m_editEntry.SetFocus();
    UpdateToolBars();
}

void CBlogOutputDlg::OnAlignText(UINT nId)
{
    PressOneOf(m_formatBar, ID_ALIGN_TEXT_LEFT, ID_ALIGN_TEXT_RIGHT, nId);
    PARAFORMAT2 format{};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = static_cast<WORD>(nId == ID_ALIGN_TEXT_LEFT     ? editor::kAlignLeft
                                          : nId == ID_ALIGN_TEXT_CENTER ? editor::kAlignCenter
                                                                        : editor::kAlignRight);
    m_editEntry.SetParaFormat(format);
    m_editEntry.SetFocus();
    UpdateToolBars();
}

void CBlogOutputDlg::OnTextSize(UINT /*nId*/)
{
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE;
    format.yHeight = editor::HeightOfTextSize(m_listTextSize.GetCurSel());
    m_editEntry.SetSelectionCharFormat(format);
    m_editEntry.SetFocus();
    UpdateToolBars();
}

void CBlogOutputDlg::OnAlignImage(UINT nId)
{
    // Pressed again even when it was: the placement is a choice of one.
    PressOneOf(m_imageBar, ID_ALIGN_IMAGE_LEFT, ID_ALIGN_IMAGE_BOTTOM, nId);
}

UINT CBlogOutputDlg::PressedImagePlacement() const
{
    for (UINT id = ID_ALIGN_IMAGE_LEFT; id <= ID_ALIGN_IMAGE_BOTTOM; ++id) {
        if (m_imageBar.IsButtonPressed(static_cast<int>(id)))
            return id;
    }
    return ID_ALIGN_IMAGE_LEFT;
}

void CBlogOutputDlg::UpdateAlignButtons()
{
    switch (editor::ButtonsForAlignment(m_editEntry.GetParaFormat().wAlignment)) {
    case editor::AlignButtons::Left:
        PressOneOf(m_formatBar, ID_ALIGN_TEXT_LEFT, ID_ALIGN_TEXT_RIGHT, ID_ALIGN_TEXT_LEFT);
        break;
    case editor::AlignButtons::Center:
        PressOneOf(m_formatBar, ID_ALIGN_TEXT_LEFT, ID_ALIGN_TEXT_RIGHT, ID_ALIGN_TEXT_CENTER);
        break;
    case editor::AlignButtons::Right:
        PressOneOf(m_formatBar, ID_ALIGN_TEXT_LEFT, ID_ALIGN_TEXT_RIGHT, ID_ALIGN_TEXT_RIGHT);
        break;
    case editor::AlignButtons::Unchanged:
        break;
    }
}

void CBlogOutputDlg::UpdateFormatButtons()
{
    const CHARFORMAT2A format = m_editEntry.GetSelectionCharFormat();
    const int nSize = editor::TextSizeOfHeight(format.yHeight);
    if (nSize >= 0 && nSize != m_listTextSize.GetCurSel())
        m_listTextSize.SetCurSel(nSize);

    const auto uniformlySet = [&](DWORD dwMask, DWORD dwEffect) {
        return (format.dwMask & dwMask) && (format.dwEffects & dwEffect);
    };
    m_formatBar.PressButton(ID_FORMAT_BOLD, uniformlySet(CFM_BOLD, CFE_BOLD));
    m_formatBar.PressButton(ID_FORMAT_ITALIC, uniformlySet(CFM_ITALIC, CFE_ITALIC));
    m_formatBar.PressButton(ID_FORMAT_UNDERLINE, uniformlySet(CFM_UNDERLINE, CFE_UNDERLINE));

    bool bCreate = true;
    bool bRemove = false;
    if (uniformlySet(CFM_SHADOW, CFE_SHADOW)) {
        bCreate = false;
        bRemove = m_nLinkStart != -1 && m_nLinkEnd != -1;
    }
    if (editor::IsBlank(m_editEntry.GetTextRange(0, -1))) {
        bCreate = true;
        bRemove = false;
    }
    m_formatBar.EnableButton(ID_CREATE_LINK, bCreate);
    m_formatBar.EnableButton(ID_REMOVE_LINK, bRemove);
}

void CBlogOutputDlg::UpdateToolBars()
{
    UpdateAlignButtons();
    UpdateFormatButtons();
}

LRESULT CBlogOutputDlg::OnSelChange(NMHDR& header)
{
    const auto& change = reinterpret_cast<const SELCHANGE&>(header);
    if (change.chrg.cpMin == change.chrg.cpMax)
        LeaveHiddenText(change.chrg.cpMin);
    UpdateToolBars();
    return 0;
}

void CBlogOutputDlg::LeaveHiddenText(LONG nCaret)
{
    // The caret takes the format of the character before it. Just behind a
    // link's hidden address, what the user types next would join the address
    // and vanish from the post; it starts plain instead.
    if (nCaret <= 0)
        return;
    // Looking at the neighbours moves the selection; those moves are not the
    // user's and must not come back here.
    const DWORD dwMask = static_cast<DWORD>(m_editEntry.SendMessage(EM_GETEVENTMASK));
    m_editEntry.SetEventMask(0);
    m_editEntry.SetSel(nCaret - 1, nCaret);
    const bool bAfterHidden = (m_editEntry.GetSelectionCharFormat().dwEffects & CFE_HIDDEN) != 0;
    bool bBeforeHidden = false;
    if (bAfterHidden && nCaret < m_editEntry.GetTextLength()) {
        m_editEntry.SetSel(nCaret, nCaret + 1);
        bBeforeHidden = (m_editEntry.GetSelectionCharFormat().dwEffects & CFE_HIDDEN) != 0;
    }
    m_editEntry.SetSel(nCaret, nCaret);
    if (bAfterHidden && !bBeforeHidden) {
        CHARFORMAT2A format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_HIDDEN | CFM_LINK | CFM_SHADOW;
        m_editEntry.SetSelectionCharFormat(format);
    }
    m_editEntry.SetEventMask(dwMask);
}

LRESULT CBlogOutputDlg::OnLink(NMHDR& header)
{
    const auto& link = reinterpret_cast<const ENLINK&>(header);
    if (link.msg != WM_LBUTTONDOWN)
        return 0;
    m_nLinkStart = link.chrg.cpMin;
    m_nLinkEnd = link.chrg.cpMax;
    m_nHiddenStart = m_nHiddenEnd = -1;
    const std::size_t nHidden = editor::HiddenPartLength(
        m_editEntry.GetTextRange(m_nLinkEnd, -1), [](unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; });
    if (nHidden > 0) {
        m_nHiddenStart = m_nLinkEnd;
        m_nHiddenEnd = m_nLinkEnd + static_cast<LONG>(nHidden);
    }
    UpdateFormatButtons();
    // The control goes on to place the caret.
    return 0;
}

void CBlogOutputDlg::SetCaretHeight(LONG nPosition, LONG nHeight)
{
    m_editEntry.SetSel(nPosition, nPosition);
    CHARFORMAT2A format{};
    format.cbSize = sizeof format;
    // What follows a link is plain text: the caret must not carry on the
    // hidden address part or the link's own effects.
    format.dwMask = CFM_SIZE | CFM_HIDDEN | CFM_LINK | CFM_SHADOW;
    format.yHeight = nHeight;
    m_editEntry.SetSelectionCharFormat(format);
}

void CBlogOutputDlg::OnCreateLink(UINT /*nId*/)
{
    InsertLink();
}

void CBlogOutputDlg::InsertLink()
{
    const LONG nHeight = m_editEntry.GetSelectionCharFormat().yHeight;
    const std::string proposed = editor::ProposedLinkText(m_editEntry.GetSelText());
    const CHARRANGE range = m_editEntry.GetSel();
    const LONG nInsertAt = range.cpMin;
    m_editEntry.SetSel(range.cpMin, range.cpMax);

    CLinkDialog dlg(m_hWnd);
    dlg.m_strText = proposed;
    dlg.m_strUrl.clear();
    dlg.SetHelpPath(m_strHelpPath);
    if (dlg.DoModal() == IDOK && !dlg.m_strText.empty()) {
        std::string address;
        if (dlg.IsUrlLink()) {
            if (!dlg.m_strUrl.empty())
                address = editor::NormalizeLinkAddress(dlg.m_strUrl);
        } else if (!dlg.m_strEmail.empty()) {
            address = editor::MailtoAddress(dlg.m_strEmail, dlg.m_strSubject);
        }
        if (!address.empty()) {
            m_editEntry.StreamIn(SF_RTF | SFF_SELECTION, editor::BuildLinkRtf(dlg.m_strText, address, ::GetACP()));
            const LONG nText = CharacterCount(dlg.m_strText);
            m_editEntry.SetSel(nInsertAt, nInsertAt + nText);
            ToggleCharEffect(editor::kEffectShadow, editor::kEffectShadow);
            ToggleCharEffect(editor::kEffectLink, editor::kEffectLink);
            SetCaretHeight(nInsertAt + nText + CharacterCount(address) + 3, nHeight);
        }
    }
    m_editEntry.SetFocus();
    m_nLinkStart = m_nLinkEnd = -1;
    UpdateToolBars();
}

void CBlogOutputDlg::OnRemoveLink(UINT /*nId*/)
{
    RemoveLink();
    m_editEntry.SetFocus();
    UpdateToolBars();
}

void CBlogOutputDlg::RemoveLink()
{
    if (m_nLinkStart != -1 && m_nLinkEnd != -1) {
        const LONG nHeight = m_editEntry.GetSelectionCharFormat().yHeight;
        m_editEntry.SetSel(m_nLinkStart, m_nLinkEnd);
        if (m_editEntry.GetSelectionCharFormat().dwEffects & editor::kEffectLink) {
            ToggleCharEffect(editor::kEffectShadow, editor::kEffectShadow);
            ToggleCharEffect(editor::kEffectLink, editor::kEffectLink);
        }
        if (m_nHiddenStart != -1 && m_nHiddenEnd != -1) {
            m_editEntry.SetSel(m_nHiddenStart, m_nHiddenEnd);
            m_editEntry.ReplaceSel("");
        }
        SetCaretHeight(m_nLinkEnd, nHeight);
    }
    m_nLinkStart = m_nLinkEnd = -1;
}
