#pragma once
// The blog-list step of the Blog Editor: load the publishing library, ask it
// for the account's blogs, and fill the blog-name list in the answer's order.
#include <windows.h>

#include <string>

#include "publish/BlogList.h"

namespace publish {

struct CBlogQuery {
    int m_nBlogType = 1;
    std::string m_strServer;
    std::string m_strEndpoint;
    std::string m_strUserName;
    std::string m_strPassword;
    std::string m_strLibraryPath;
};

enum class FetchOutcome {
    Listed,          // the library stays loaded for publishing
    LibraryMissing,  // message 511 was shown; nothing was fetched
    LoginRefused,    // no message: the caller asks for another account
};

struct CFetchResult {
    FetchOutcome m_outcome = FetchOutcome::LibraryMissing;
    CBlogList m_list;
};

// Loads the library into g_hPublishLibrary and asks "GetBlogIDs". A library
// that cannot be loaded, or lacks an export, is reported to the user with a
// message box owned by hOwner. On every outcome but Listed the library is
// freed again.
CFetchResult FetchBlogList(const CBlogQuery& query, HWND hOwner);

// Fills a drop-down list box (sorted style or not) with the names in the
// answer's order, each inserted at its own position, and selects the entry.
void FillBlogNameList(HWND hList, const CBlogList& list);

}  // namespace publish
