// The recording stand-in publishing library: later tests trust its answers
// and its log, so both are checked here through its real exports.
#include <gtest/gtest.h>

#include "platform/UniqueHandle.h"
#include "publish/PublishContract.h"
#include "support/RecordingLibrary.h"
#include "support/TestAccessory.h"

using testing_support::CRecordingLibrary;
using testing_support::LoggedPassword;

namespace {

class RecordingLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string path = m_folder.Path() + "QTVPublish.dll";
        ::CopyFileA((testing_support::StandInLibraryFolder() + "QTVPublish.dll").c_str(), path.c_str(), FALSE);
        m_hLibrary.Reset(::LoadLibraryA(path.c_str()));
        ASSERT_TRUE(m_hLibrary);
        m_pfnGetBlogIds = reinterpret_cast<PFN_GET_BLOG_IDS>(
            reinterpret_cast<void*>(::GetProcAddress(m_hLibrary.Get(), "GetBlogIDs")));
        m_pfnPublish = reinterpret_cast<PFN_PUBLISH_TO_BLOG_NO_GUI>(
            reinterpret_cast<void*>(::GetProcAddress(m_hLibrary.Get(), "PublishToBlogNoGUI")));
        ASSERT_TRUE(m_pfnGetBlogIds && m_pfnPublish);
    }

    testing_support::CTestFolder m_folder{"lib"};
    CRecordingLibrary m_library{m_folder.Path()};
    platform::CLibrary m_hLibrary;
    PFN_GET_BLOG_IDS m_pfnGetBlogIds = nullptr;
    PFN_PUBLISH_TO_BLOG_NO_GUI m_pfnPublish = nullptr;
};

TEST_F(RecordingLibrary, AnswersAsToldAndRecordsEveryArgument)
{
    m_library.SetAnswers({"blogs.result=0x80004005", "blogs.xml=<Blogs>\\n</Blogs>", "publish.result=1"});
    std::string buffer(16, '#');
    EXPECT_EQ(m_pfnGetBlogIds(2, "srv", "ep", "user", "p\tw", &buffer[0], 15), static_cast<long>(E_FAIL));
    EXPECT_STREQ(buffer.c_str(), "<Blogs>\n</Blogs") << "capacity characters and the terminator, no more";
    EXPECT_EQ(m_pfnPublish(1, "", "", "C:\\img.png", "u", "pw", "7", "Title", "a\nb %s %s", 1, "http://x/"), 1);

    const auto calls = m_library.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].strFunction, "GetBlogIDs");
    EXPECT_EQ(calls[0].fields, (std::vector<std::string>{"2", "srv", "ep", "user", LoggedPassword("p\tw"), "15"}));
    EXPECT_EQ(calls[1].strFunction, "PublishToBlogNoGUI");
    EXPECT_EQ(calls[1].fields, (std::vector<std::string>{"1", "", "", "C:\\img.png", "u", LoggedPassword("pw"), "7", "Title",
                                                         "a\nb %s %s", "1", "http://x/"}));
}

TEST_F(RecordingLibrary, DefaultsAndAFullBufferWithoutTerminator)
{
    std::string buffer(kBlogListCapacity + 1, '\0');
    EXPECT_EQ(m_pfnGetBlogIds(1, "", "", "u", "p", &buffer[0], kBlogListCapacity), 0);
    EXPECT_NE(std::string(buffer.c_str()).find("<Blog_Object>"), std::string::npos);
    EXPECT_EQ(m_pfnPublish(1, "", "", "", "", "", "", "", "", 0, ""), 0);

    m_library.SetAnswers({"blogs.fill=full"});
    std::string small(8, '\0');
    m_pfnGetBlogIds(1, "", "", "u", "p", &small[0], 8);
    EXPECT_EQ(small, "xxxxxxxx") << "every byte written, no terminator";
}

// The log outlives the test in a temporary folder: it tells passwords apart
// but never holds one in clear, however short or odd.
TEST_F(RecordingLibrary, LogHoldsNoPasswordInClear)
{
    std::string buffer(64, '\0');
    for (const char* password : {"Tr0ub4dor&3", "ab", "x", "p\\w", "caf\xe9"}) {
        m_pfnGetBlogIds(1, "", "", "u", password, &buffer[0], 64);
        m_pfnPublish(1, "", "", "C:\\img.png", "u", password, "1", "T", "b", 0, "http://x/");
    }
    m_pfnGetBlogIds(1, "", "", "u", "", &buffer[0], 64);

    const std::string log = testing_support::ReadFileBytes(m_folder.Path() + "QTVPublish.log");
    EXPECT_EQ(log.find("Tr0ub4dor"), std::string::npos) << log;
    EXPECT_EQ(log.find("caf\xe9"), std::string::npos) << log;
    const auto calls = m_library.Calls();
    ASSERT_EQ(calls.size(), 11u);
    for (std::size_t i = 0; i + 1 < calls.size(); i += 2) {
        const std::string& listed = calls[i].fields[4];
        EXPECT_EQ(listed.rfind("masked:", 0), 0u) << listed;
        EXPECT_EQ(calls[i + 1].fields[5], listed) << "both exports log a password alike";
    }
    EXPECT_NE(calls[2].fields[4], calls[4].fields[4]) << "different passwords stay told apart";
    EXPECT_EQ(calls[10].fields[4], "") << "no password shows as none";
}

}  // namespace
