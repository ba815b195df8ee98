// The Blog Editor's entry kept across "Use Different Account...": taken when
// the editor closes for a log-in, put back when the next run opens.
#include "editor/BlogOutputDlg.h"

#include "res/resource.h"

namespace {

// Looking at characters moves the selection; those moves are not the user's
// and must not reach the selection handler.
class CQuietSelection {
public:
    explicit CQuietSelection(const platform::CRichEditCtrl& edit)
        : m_edit(edit), m_dwMask(static_cast<DWORD>(edit.SendMessage(EM_GETEVENTMASK))), m_range(edit.GetSel())
    {
        m_edit.SetEventMask(0);
    }
    ~CQuietSelection()
    {
        m_edit.SetSel(m_range.cpMin, m_range.cpMax);
        m_edit.SetEventMask(m_dwMask);
    }
    CQuietSelection(const CQuietSelection&) = delete;
    CQuietSelection& operator=(const CQuietSelection&) = delete;

private:
    const platform::CRichEditCtrl& m_edit;
    DWORD m_dwMask;
    CHARRANGE m_range;
};

DWORD EffectsAt(const platform::CRichEditCtrl& edit, LONG nPosition)
{
    edit.SetSel(nPosition, nPosition + 1);
    return edit.GetSelectionCharFormat().dwEffects;
}

}  // namespace

void CBlogOutputDlg::TakeDraft()
{
    m_draft = CEntryDraft{};
    m_draft.m_bHeld = true;
    const int n = ::GetWindowTextLengthW(m_editTitle);
    std::wstring title(static_cast<std::size_t>(n) + 1, L'\0');
    title.resize(static_cast<std::size_t>(::GetWindowTextW(m_editTitle, &title[0], n + 1)));
    m_draft.m_strTitle = std::move(title);
    m_draft.m_strEntryRtf = m_editEntry.StreamOut(SF_RTF);
    m_draft.m_nImagePlacement = PressedImagePlacement();
    m_draft.m_bDraft = m_checkDraft.IsChecked();
    const int nChosen = m_listBlogs.GetCurSel();
    if (nChosen >= 0 && static_cast<std::size_t>(nChosen) < m_blogIds.size())
        m_draft.m_strBlogId = m_blogIds[static_cast<std::size_t>(nChosen)];

    // A link is shadowed text followed by its hidden address, which starts
    // with "#": walk back from each hidden "#" over the shadowed characters.
    const std::wstring text = m_editEntry.GetTextW();
    CQuietSelection quiet(m_editEntry);
    LONG nLastEnd = 0;
    for (std::size_t i = text.find(L'#'); i != std::wstring::npos; i = text.find(L'#', i + 1)) {
        const LONG nHash = static_cast<LONG>(i);
        if (nHash <= nLastEnd || !(EffectsAt(m_editEntry, nHash) & CFE_HIDDEN))
            continue;
        LONG nStart = nHash;
        while (nStart > nLastEnd && (EffectsAt(m_editEntry, nStart - 1) & (CFE_SHADOW | CFE_HIDDEN)) == CFE_SHADOW)
            --nStart;
        if (nStart < nHash)
            m_draft.m_links.emplace_back(nStart, nHash);
        nLastEnd = nHash;
    }
}

void CBlogOutputDlg::RestoreDraft()
{
    if (!m_draft.m_bHeld)
        return;
    ::SetWindowTextW(m_editTitle, m_draft.m_strTitle.c_str());
    {
        CQuietSelection quiet(m_editEntry);
        m_editEntry.SetSel(0, -1);
        m_editEntry.StreamIn(SF_RTF, m_draft.m_strEntryRtf);
        for (const auto& link : m_draft.m_links) {
            m_editEntry.SetSel(link.first, link.second);
            CHARFORMAT2A format{};
            format.cbSize = sizeof format;
            format.dwMask = CFM_SHADOW | CFM_LINK;
            format.dwEffects = CFE_SHADOW | CFE_LINK;
            m_editEntry.SetSelectionCharFormat(format);
        }
    }
    m_editEntry.SetSel(0, 0);
    if (m_draft.m_nImagePlacement >= ID_ALIGN_IMAGE_LEFT && m_draft.m_nImagePlacement <= ID_ALIGN_IMAGE_BOTTOM)
        PressOneOf(m_imageBar, ID_ALIGN_IMAGE_LEFT, ID_ALIGN_IMAGE_BOTTOM, m_draft.m_nImagePlacement);
    m_checkDraft.SetCheck(m_draft.m_bDraft ? BST_CHECKED : BST_UNCHECKED);
    for (std::size_t i = 0; i < m_blogIds.size(); ++i) {
        if (!m_draft.m_strBlogId.empty() && m_blogIds[i] == m_draft.m_strBlogId) {
            m_listBlogs.SetCurSel(static_cast<int>(i));
            break;
        }
    }
}
