#include "publish/BlogList.h"

#include <cstring>

#include "settings/QTVXmlString.h"

namespace publish {

bool IsLoginRefused(std::int32_t status)
{
    return status == static_cast<std::int32_t>(0x80004005u);
}

std::size_t TextLengthInBuffer(const char* buffer, std::size_t size)
{
    const void* nul = std::memchr(buffer, '\0', size);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) : size;
}

char* BeginAnswer(QTVXmlString& answer, std::size_t capacity)
{
    return answer.GetBuffer(capacity);
}

void EndAnswer(QTVXmlString& answer)
{
    answer.resize(TextLengthInBuffer(answer.data(), answer.size()));
}

std::string LiveJournalAddress(const std::string& userName)
{
    return "http://" + userName + kLiveJournalSuffix;
}

CBlogList ParseBlogList(QTVXmlString& answer, int blogType, const std::string& userName)
{
    CBlogList list;
    const bool liveJournal = blogType == kLiveJournal;
    if (liveJournal) {
        list.m_strBlogAddress = LiveJournalAddress(userName);
        list.m_blogAddresses.push_back(list.m_strBlogAddress);
    }

    QTVXmlString blogs;
    int cursor = 0;
    if (answer.GetElement("Blogs", blogs, cursor)) {
        // These live across the walk: an element missing from one object
        // keeps the value of the object before.
        std::string id;
        std::string name;
        std::string address;
        QTVXmlString object;
        int objectCursor = 0;
        while (blogs.GetElement("Blog_Object", object, objectCursor)) {
            int child = 0;
            object.GetElementText("BlogId", id, child);
            object.GetElementText("BlogName", name, child);
            object.GetElementText("BlogAddress", address, child);
            list.m_blogIds.push_back(id);
            list.m_names.push_back(name);
            // A journal's own address is the built one, which already stands
            // first; later entries keep theirs, so all lists stay aligned.
            if (!liveJournal || list.m_blogIds.size() > 1)
                list.m_blogAddresses.push_back(address);
        }
    }
    list.m_nSelected = list.m_names.empty() ? -1 : 0;
    return list;
}

bool RequestBlogList(const BlogIdsCall& call, int capacity, int blogType, const std::string& userName,
                     CBlogList& list)
{
    if (capacity < 0)
        capacity = 0;
    QTVXmlString answer;
    char* buffer = BeginAnswer(answer, static_cast<std::size_t>(capacity));
    const std::int32_t status = call(buffer, capacity);
    if (IsLoginRefused(status))
        return false;
    EndAnswer(answer);
    list = ParseBlogList(answer, blogType, userName);
    return true;
}

}  // namespace publish
