// The blog-list step against the recording publishing library, with a real
// drop-down list of the sorted style as the Blog Editor has.
#include <gtest/gtest.h>

#include "platform/UniqueHandle.h"
#include "publish/BlogListFetch.h"
#include "publish/PublishLibrary.h"
#include "support/RecordingLibrary.h"
#include "support/TestAccessory.h"
#include "support/UiDriver.h"

using publish::FetchOutcome;

namespace {

class BlogListFetch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CopyFileA((testing_support::StandInLibraryFolder() + "QTVPublish.dll").c_str(),
                    m_library.LibraryPath().c_str(), FALSE);
        m_query.m_strUserName = "alice";
        m_query.m_strPassword = "secret";
        m_query.m_strLibraryPath = m_library.LibraryPath();
        m_hOwner.Reset(::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                         nullptr, nullptr, nullptr));
        m_hList.Reset(::CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0, 0,
                                        200, 100, m_hOwner.Get(), nullptr, nullptr, nullptr));
    }
    void TearDown() override { publish::ReleasePublishLibrary(); }

    std::vector<std::string> ListedNames() const
    {
        std::vector<std::string> names;
        const int n = static_cast<int>(::SendMessageA(m_hList.Get(), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[256] = {};
            ::SendMessageA(m_hList.Get(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            names.push_back(text);
        }
        return names;
    }
    int Selected() const { return static_cast<int>(::SendMessageA(m_hList.Get(), CB_GETCURSEL, 0, 0)); }

    testing_support::CTestFolder m_folder{"fetch"};
    testing_support::CRecordingLibrary m_library{m_folder.Path()};
    publish::CBlogQuery m_query;
    platform::CWindow m_hOwner;
    platform::CWindow m_hList;
};

std::string Blog(const std::string& id, const std::string& name, const std::string& address)
{
    return "<Blog_Object><BlogId>" + id + "</BlogId><BlogName>" + name + "</BlogName><BlogAddress>" + address +
           "</BlogAddress></Blog_Object>";
}

TEST_F(BlogListFetch, ThreeBlogsKeepTheAnswersOrderInASortedList)
{
    m_library.SetAnswers({"blogs.xml=<Blogs>" + Blog("3", "Carrots", "http://c/") + Blog("1", "Apples &amp; pears", "http://a/") +
                          Blog("2", "Bananas", "http://b/") + "</Blogs>"});
    const auto result = publish::FetchBlogList(m_query, m_hOwner.Get());
    ASSERT_EQ(result.m_outcome, FetchOutcome::Listed);
    publish::FillBlogNameList(m_hList.Get(), result.m_list);
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"Carrots", "Apples & pears", "Bananas"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(result.m_list.m_blogIds, (std::vector<std::string>{"3", "1", "2"}));
    EXPECT_EQ(result.m_list.m_blogAddresses, (std::vector<std::string>{"http://c/", "http://a/", "http://b/"}));
    EXPECT_FALSE(result.m_list.ShouldCollapse());
    EXPECT_NE(publish::g_hPublishLibrary, nullptr) << "kept for publishing";

    const auto calls = m_library.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].fields, (std::vector<std::string>{"1", "", "", "alice", testing_support::LoggedPassword("secret"), "1048576"}));
}

TEST_F(BlogListFetch, OneBlogIsSelectedAndCollapsesTheRow)
{
    m_library.SetAnswers({"blogs.xml=<Blogs>" + Blog("9", "Only", "http://only/") + "</Blogs>"});
    const auto result = publish::FetchBlogList(m_query, m_hOwner.Get());
    ASSERT_EQ(result.m_outcome, FetchOutcome::Listed);
    publish::FillBlogNameList(m_hList.Get(), result.m_list);
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"Only"}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_TRUE(result.m_list.ShouldCollapse());
}

TEST_F(BlogListFetch, LiveJournalUsesTheBuiltJournalAddress)
{
    m_query.m_nBlogType = 3;
    m_library.SetAnswers({"blogs.xml=<Blogs>" + Blog("j", "Journal", "http://elsewhere/") + "</Blogs>"});
    const auto result = publish::FetchBlogList(m_query, m_hOwner.Get());
    ASSERT_EQ(result.m_outcome, FetchOutcome::Listed);
    EXPECT_EQ(result.m_list.m_strBlogAddress, "http://alice.livejournal.com");
    EXPECT_EQ(result.m_list.m_blogAddresses, (std::vector<std::string>{"http://alice.livejournal.com"}));
}

TEST_F(BlogListFetch, RefusedLogInShowsNothingAndFreesTheLibrary)
{
    m_library.SetAnswers({"blogs.result=0x80004005"});
    const auto result = publish::FetchBlogList(m_query, m_hOwner.Get());
    EXPECT_EQ(result.m_outcome, FetchOutcome::LoginRefused);
    EXPECT_TRUE(ui::FindWindows("", "#32770").empty());
    EXPECT_EQ(publish::g_hPublishLibrary, nullptr);
}

TEST_F(BlogListFetch, FullBufferWithoutTerminatorIsReadWithinTheBuffer)
{
    m_library.SetAnswers({"blogs.fill=full"});
    const auto result = publish::FetchBlogList(m_query, m_hOwner.Get());
    ASSERT_EQ(result.m_outcome, FetchOutcome::Listed);
    EXPECT_TRUE(result.m_list.m_names.empty());
    EXPECT_TRUE(result.m_list.ShouldCollapse());
}

// A missing library and one without both exports are the same failure.
TEST_F(BlogListFetch, UnusableLibraryIsReportedWithMessage511)
{
    const std::string impostor = m_folder.Path() + "Impostor.dll";
    ::CopyFileA((testing_support::BuiltAccessoryFolder() + "WordPress.dll").c_str(), impostor.c_str(), FALSE);
    for (const std::string& path : {m_folder.Path() + "Missing.dll", impostor}) {
        m_query.m_strLibraryPath = path;
        std::string text;
        ui::CUserScript user([&] { text = ui::AnswerMessageBox(IDOK); });
        const auto result = publish::FetchBlogList(m_query, m_hOwner.Get());
        user.Join();
        EXPECT_EQ(result.m_outcome, FetchOutcome::LibraryMissing) << path;
        EXPECT_EQ(text, "Could not load required DLL for Posting") << path;
        EXPECT_EQ(publish::g_hPublishLibrary, nullptr);
    }
    EXPECT_TRUE(m_library.Calls().empty());
}

}  // namespace
