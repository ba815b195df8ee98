#include "publish/BlogList.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/QTVXmlString.h"

namespace {

std::string Blog(const std::string& id, const std::string& name, const std::string& address)
{
    return "<Blog_Object><BlogId>" + id + "</BlogId><BlogName>" + name + "</BlogName><BlogAddress>" + address +
           "</BlogAddress></Blog_Object>";
}

publish::CBlogList Parse(const std::string& text, int blogType = 1, const std::string& user = "me")
{
    QTVXmlString answer(text);
    return publish::ParseBlogList(answer, blogType, user);
}

using Strings = std::vector<std::string>;

TEST(BlogList, OneBlogIsSelectedAndCollapsesTheRow)
{
    const auto list = Parse("<?xml version=\"1.0\"?><Blogs>" + Blog("7", "Mine &amp; yours", "http://a") + "</Blogs>");
    EXPECT_EQ(list.m_names, Strings{"Mine & yours"});
    EXPECT_EQ(list.m_blogIds, Strings{"7"});
    EXPECT_EQ(list.m_blogAddresses, Strings{"http://a"});
    EXPECT_EQ(list.m_nSelected, 0);
    EXPECT_TRUE(list.ShouldCollapse());
    EXPECT_EQ(list.m_strBlogAddress, "");
}

TEST(BlogList, KeepsDocumentOrder)
{
    const auto list = Parse("<Blogs>\r\n" + Blog("3", "C", "http://c") + Blog("1", "A", "http://a") +
                            Blog("2", "B", "http://b") + "</Blogs>");
    EXPECT_EQ(list.m_names, (Strings{"C", "A", "B"}));
    EXPECT_EQ(list.m_blogIds, (Strings{"3", "1", "2"}));
    EXPECT_EQ(list.m_blogAddresses, (Strings{"http://c", "http://a", "http://b"}));
    EXPECT_EQ(list.m_nSelected, 0);
    EXPECT_FALSE(list.ShouldCollapse());
}

TEST(BlogList, MissingOrMisplacedElementsKeepThePreviousValues)
{
    const auto list = Parse(
        "<Blogs>"
        "<Blog_Object><BlogName>First</BlogName><BlogId>1</BlogId><BlogAddress>http://1</BlogAddress></Blog_Object>" +
        Blog("2", "Second", "http://2") +
        "<Blog_Object><BlogName>Third</BlogName><BlogId>3</BlogId></Blog_Object>"
        "<Blog_Object></Blog_Object>"
        "</Blogs>");
    // A name standing before its id is passed over by the id's lookup.
    EXPECT_EQ(list.m_names, (Strings{"", "Second", "Second", "Second"}));
    EXPECT_EQ(list.m_blogIds, (Strings{"1", "2", "3", "3"}));
    EXPECT_EQ(list.m_blogAddresses, (Strings{"http://1", "http://2", "http://2", "http://2"}));
}

TEST(BlogList, NoBlogsLeavesTheListEmpty)
{
    for (const char* text : {"", "<Blog_Object><BlogId>1</BlogId></Blog_Object>", "<Blogs></Blogs>",
                             "<Blogs><Blog_Object><BlogId>1</BlogId></Blogs>", "<Blogs>"}) {
        const auto list = Parse(text);
        EXPECT_TRUE(list.m_names.empty()) << text;
        EXPECT_TRUE(list.m_blogIds.empty());
        EXPECT_TRUE(list.m_blogAddresses.empty());
        EXPECT_EQ(list.m_nSelected, -1);
        EXPECT_TRUE(list.ShouldCollapse());
    }
}

TEST(BlogList, LiveJournalUsesTheBuiltAddressForItsJournal)
{
    auto list = Parse("<Blogs>" + Blog("j", "Journal", "http://elsewhere") + "</Blogs>", publish::kLiveJournal, "bob");
    EXPECT_EQ(list.m_strBlogAddress, "http://bob.livejournal.com");
    EXPECT_EQ(list.m_blogAddresses, Strings{"http://bob.livejournal.com"});
    EXPECT_EQ(list.m_blogIds, Strings{"j"});
    EXPECT_EQ(list.m_nSelected, 0);

    // Further journals keep their own addresses, entry by entry.
    list = Parse("<Blogs>" + Blog("1", "J1", "http://x1") + Blog("2", "J2", "http://x2") + Blog("3", "J3", "http://x3") +
                     "</Blogs>",
                 publish::kLiveJournal, "bob");
    EXPECT_EQ(list.m_blogAddresses, (Strings{"http://bob.livejournal.com", "http://x2", "http://x3"}));
    EXPECT_EQ(list.m_names.size(), list.m_blogAddresses.size());

    // Nothing in the answer: the built address is all there is.
    list = Parse("", publish::kLiveJournal, "bob");
    EXPECT_EQ(list.m_blogAddresses, Strings{"http://bob.livejournal.com"});
    EXPECT_TRUE(list.m_blogIds.empty());
    EXPECT_EQ(list.m_nSelected, -1);
}

TEST(BlogList, AnswerBufferNeverReadsPastItsEnd)
{
    const char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(publish::TextLengthInBuffer(full, sizeof full), 4u);
    EXPECT_EQ(publish::TextLengthInBuffer("ab\0cd", 5), 2u);
    EXPECT_EQ(publish::TextLengthInBuffer(full, 0), 0u);

    const std::string blogs = "<Blogs>" + Blog("1", "One", "http://1") + "</Blogs>";
    QTVXmlString answer;
    char* buffer = publish::BeginAnswer(answer, blogs.size());
    std::memcpy(buffer, blogs.data(), blogs.size());  // exactly full, no NUL written
    publish::EndAnswer(answer);
    EXPECT_EQ(answer, blogs);
    EXPECT_EQ(publish::ParseBlogList(answer, 1, "me").m_blogIds, Strings{"1"});

    buffer = publish::BeginAnswer(answer, 8);
    std::memset(buffer, '<', 9);  // even the NUL's place overwritten
    publish::EndAnswer(answer);
    EXPECT_EQ(answer.size(), 9u);
    EXPECT_TRUE(publish::ParseBlogList(answer, 1, "me").m_names.empty());
}

TEST(BlogList, RequestHandsOverTheBufferAndRecognisesARefusal)
{
    const std::string blogs = "<Blogs>" + Blog("1", "One", "http://1") + Blog("2", "Two", "http://2") + "</Blogs>";
    publish::CBlogList list;
    list.m_names = {"kept"};
    EXPECT_FALSE(publish::RequestBlogList([](char*, int) { return static_cast<std::int32_t>(0x80004005u); }, 64, 1,
                                          "me", list));
    EXPECT_EQ(list.m_names, Strings{"kept"});

    // A library that fills every character it was given and writes no NUL.
    int seen = -1;
    const auto fill = [&](char* buffer, int capacity) {
        seen = capacity;
        std::memcpy(buffer, blogs.data(), static_cast<std::size_t>(capacity));
        return 0;
    };
    ASSERT_TRUE(publish::RequestBlogList(fill, static_cast<int>(blogs.size()), 1, "me", list));
    EXPECT_EQ(seen, static_cast<int>(blogs.size()));
    EXPECT_EQ(list.m_names, (Strings{"One", "Two"}));
    // Cut short, the answer loses the blogs that did not fit.
    ASSERT_TRUE(publish::RequestBlogList(fill, static_cast<int>(blogs.size()) - 10, 1, "me", list));
    EXPECT_TRUE(list.m_names.empty());
}

TEST(BlogList, RefusedLoginIsEFail)
{
    EXPECT_TRUE(publish::IsLoginRefused(static_cast<std::int32_t>(0x80004005u)));
    EXPECT_FALSE(publish::IsLoginRefused(0));
    EXPECT_FALSE(publish::IsLoginRefused(1));
    EXPECT_FALSE(publish::IsLoginRefused(static_cast<std::int32_t>(0x80004001u)));  // E_NOTIMPL
}

}  // namespace
