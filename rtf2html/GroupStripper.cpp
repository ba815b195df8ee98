#include "rtf2html/GroupStripper.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace rtf2html {
namespace {

// The bytes that can make or break a group.
const std::array<bool, 256> kStructure = [] {
    std::array<bool, 256> table{};
    table[static_cast<unsigned char>('\\')] = table[static_cast<unsigned char>('{')] =
        table[static_cast<unsigned char>('}')] = true;
    return table;
}();

}  // namespace

CGroupStripper::CGroupStripper(std::string_view text)
{
    // Most entries hold no group at all.
    if (text.empty() || std::memchr(text.data(), '{', text.size()) == nullptr)
        return;
    std::vector<std::size_t> open;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        while (i < n && !kStructure[static_cast<unsigned char>(text[i])])
            ++i;
        if (i == n)
            break;
        const char c = text[i];
        if (c == '\\') {
            ++i;
        } else if (c == '{') {
            open.push_back(i);
        } else if (c == '}') {
            if (open.empty())
                return;  // ends the body: nothing after it is read
            const std::size_t first = open.back();
            open.pop_back();
            // Groups inside this one were recorded first; this one covers them.
            while (!m_groups.empty() && m_groups.back().first > first)
                m_groups.pop_back();
            if (!m_groups.empty() && m_groups.back().second + 1 == first)
                m_groups.back().second = i;
            else
                m_groups.emplace_back(first, i);
        }
    }
}

std::size_t CGroupStripper::SkipFrom(std::size_t pos)
{
    // m_nNext indexes the first group not wholly before pos.
    const bool behind = m_nNext < m_groups.size() && m_groups[m_nNext].second < pos;
    const bool ahead = m_nNext > 0 && m_groups[m_nNext - 1].second >= pos;
    if (behind || ahead) {
        const auto endsBefore = [](const std::pair<std::size_t, std::size_t>& group, std::size_t p) {
            return group.second < p;
        };
        m_nNext = static_cast<std::size_t>(std::lower_bound(m_groups.begin(), m_groups.end(), pos, endsBefore) -
                                           m_groups.begin());
    }
    if (m_nNext < m_groups.size() && m_groups[m_nNext].first <= pos)
        return m_groups[m_nNext++].second + 1;
    return pos + 1;
}

}  // namespace rtf2html
