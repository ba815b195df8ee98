#include "publish/BlogListFetch.h"

#include "platform/ActivationContext.h"
#include "platform/Module.h"
#include "platform/WaitCursor.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"

namespace publish {

CFetchResult FetchBlogList(const CBlogQuery& query, HWND hOwner)
{
    CFetchResult result;
    if (!LoadPublishLibrary(query.m_strLibraryPath)) {
        platform::ShowMessageBox(hOwner, platform::CModule::LoadString(IDS_NO_PUBLISH_LIBRARY).c_str(),
                      platform::CModule::LoadString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
        result.m_outcome = FetchOutcome::LibraryMissing;
        return result;
    }

    bool listed = false;
    {
        platform::CWaitCursor wait;  // the library talks to the blog service
        const PFN_GET_BLOG_IDS pfnGetBlogIds = GetBlogIdsFunction();
        listed = RequestBlogList(
            [&](char* buffer, int capacity) {
                return static_cast<std::int32_t>(
                    pfnGetBlogIds(query.m_nBlogType, query.m_strServer.c_str(), query.m_strEndpoint.c_str(),
                                  query.m_strUserName.c_str(), query.m_strPassword.c_str(), buffer, capacity));
            },
            kBlogListCapacity, query.m_nBlogType, query.m_strUserName, result.m_list);
    }
    if (!listed) {
        ReleasePublishLibrary();
        result.m_outcome = FetchOutcome::LoginRefused;
        return result;
    }
    result.m_outcome = FetchOutcome::Listed;
    return result;
}

void FillBlogNameList(HWND hList, const CBlogList& list)
{
    ::SendMessageA(hList, CB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < list.m_names.size(); ++i)
        ::SendMessageA(hList, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(list.m_names[i].c_str()));
    ::SendMessageA(hList, CB_SETCURSEL, static_cast<WPARAM>(list.m_nSelected), 0);
}

}  // namespace publish
