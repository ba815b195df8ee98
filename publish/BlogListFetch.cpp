#include "publish/BlogListFetch.h"

#include "platform/Module.h"
#include "platform/WaitCursor.h"
#include "publish/PublishLibrary.h"
#include "res/resource.h"
#include "settings/QTVXmlString.h"

namespace publish {

CFetchResult FetchBlogList(const CBlogQuery& query, HWND hOwner)
{
    CFetchResult result;
    if (!LoadPublishLibrary(query.m_strLibraryPath)) {
        ::MessageBoxA(hOwner, platform::CModule::LoadString(IDS_NO_PUBLISH_LIBRARY).c_str(),
                      platform::CModule::LoadString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
        result.m_outcome = FetchOutcome::LibraryMissing;
        return result;
    }

    // The answer is received straight into the XML string that parses it.
    QTVXmlString answer;
    long status = 0;
    {
        platform::CWaitCursor wait;  // the library talks to the blog service
        char* buffer = BeginAnswer(answer, kBlogListCapacity);
        status = GetBlogIdsFunction()(query.m_nBlogType, query.m_strServer.c_str(), query.m_strEndpoint.c_str(),
                                      query.m_strUserName.c_str(), query.m_strPassword.c_str(), buffer,
                                      kBlogListCapacity);
        EndAnswer(answer);
    }
    if (IsLoginRefused(status)) {
        ReleasePublishLibrary();
        result.m_outcome = FetchOutcome::LoginRefused;
        return result;
    }
    result.m_list = ParseBlogList(answer, query.m_nBlogType, query.m_strUserName);
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
