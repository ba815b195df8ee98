#pragma once
// The account's blogs as the publishing library's "GetBlogIDs" returns them:
// a Blogs element with one Blog_Object per blog, each holding BlogId, BlogName
// and BlogAddress. Platform-free; the Blog Editor fills its list box from it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QTVXmlString;

namespace publish {

constexpr int kLiveJournal = 3;
// Host-name suffix of a LiveJournal account's journal.
constexpr char kLiveJournalSuffix[] = ".livejournal.com";

struct CBlogList {
    // Entry k of the list box, inserted at position k explicitly: the box has
    // the sorted style, and the order must stay that of the answer.
    std::vector<std::string> m_names;
    // Entry k belongs to name k.
    std::vector<std::string> m_blogIds;
    // Entry k belongs to name k. LiveJournal: the first is the built journal
    // address; with no blog in the answer it stands alone.
    std::vector<std::string> m_blogAddresses;
    // LiveJournal: the built journal address; otherwise empty.
    std::string m_strBlogAddress;
    // Entry to select: 0, or -1 when the list is empty.
    int m_nSelected = -1;

    // Fewer than two blogs: the dialog hides its blog-name row.
    bool ShouldCollapse() const { return m_blogIds.size() < 2; }
};

// "GetBlogIDs" answers E_FAIL when the service refused the log-in.
bool IsLoginRefused(std::int32_t status);

// Length of the text a library left in a buffer of size bytes: up to the first
// NUL, or all of it when it wrote none. Never reads past the buffer.
std::size_t TextLengthInBuffer(const char* buffer, std::size_t size);

// The answer's own storage, handed to the library: capacity characters and
// the NUL. After the call, EndAnswer sets the answer's length from it.
char* BeginAnswer(QTVXmlString& answer, std::size_t capacity);
void EndAnswer(QTVXmlString& answer);

// "http://" + user name + kLiveJournalSuffix.
std::string LiveJournalAddress(const std::string& userName);

// "GetBlogIDs" bound to the log-in: fills buffer, which holds capacity
// characters and the NUL, and returns the library's status.
using BlogIdsCall = std::function<std::int32_t(char* buffer, int capacity)>;

// Hands the library an answer buffer of capacity characters, then reads the
// answer into list. False, with list untouched, when the log-in was refused.
bool RequestBlogList(const BlogIdsCall& call, int capacity, int blogType, const std::string& userName,
                     CBlogList& list);

// Reads the answer in document order. BlogId, BlogName and BlogAddress are
// looked up in that order with one cursor per object, and a missing one keeps
// the value of the object before (empty for the first).
CBlogList ParseBlogList(QTVXmlString& answer, int blogType, const std::string& userName);

}  // namespace publish
