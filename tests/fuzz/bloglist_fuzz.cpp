// The blog-list answer on arbitrary text: the lists stay aligned whatever the
// library returns. The first byte picks the blog type.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "publish/BlogList.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int blogType = data[0] % 5;
    // The library fills every character it is given, with or without a NUL.
    const auto call = [&](char* buffer, int capacity) {
        Check(static_cast<std::size_t>(capacity) == size - 1);
        std::copy(data + 1, data + size, buffer);
        return 0;
    };
    publish::CBlogList list;
    Check(publish::RequestBlogList(call, static_cast<int>(size - 1), blogType, "user", list));
    Check(list.m_names.size() == list.m_blogIds.size());
    if (blogType == publish::kLiveJournal) {
        Check(list.m_blogAddresses.size() == (list.m_blogIds.empty() ? 1 : list.m_blogIds.size()));
        Check(list.m_blogAddresses[0] == list.m_strBlogAddress);
    } else {
        Check(list.m_blogAddresses.size() == list.m_blogIds.size());
        Check(list.m_strBlogAddress.empty());
    }
    Check(list.m_nSelected == (list.m_names.empty() ? -1 : 0));
    Check(list.ShouldCollapse() == (list.m_blogIds.size() < 2));
    return 0;
}
