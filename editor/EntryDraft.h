#pragma once
// What the user has written in the Blog Editor, taken out of one run and put
// into the next: "Use Different Account..." closes the editor for a log-in,
// and the entry must be there again when it comes back.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct CEntryDraft {
    bool m_bHeld = false;  // false: nothing was taken, the editor starts empty
    std::wstring m_strTitle;
    std::string m_strEntryRtf;
    // The visible text of each link, as control positions: the shadow and
    // link effects do not survive the RTF everywhere (Wine's control drops
    // them on reading), the hidden addresses do.
    std::vector<std::pair<LONG, LONG>> m_links;
    UINT m_nImagePlacement = 0;
    bool m_bDraft = false;
    // Chosen again when the next account lists it.
    std::string m_strBlogId;
};
