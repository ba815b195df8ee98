#pragma once
// Finds the RTF groups ("{...}") of the entry body, which contribute nothing
// to the post (pictures, objects, bullet texts and the like), so the scan can
// step over them without a stripped copy of the text being made.
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace rtf2html {

class CGroupStripper {
public:
    // A backslash escapes the character after it, so "\{" and "\}" are text
    // and never open or close a group, inside a group neither. Groups pair
    // by nesting; a "{" without a matching "}" opens nothing and is dropped
    // alone, so the text after it is kept.
    explicit CGroupStripper(std::string_view text);

    // Where the scan goes on from a "{" at pos: after the group's "}", or
    // just after the "{" when it opens no group. Queries in increasing order
    // of pos cost O(1) each; the first query after a jump back costs a search.
    std::size_t SkipFrom(std::size_t pos);

private:
    // Outermost groups only, as [first, last] positions of their braces, in
    // order; touching groups are merged.
    std::vector<std::pair<std::size_t, std::size_t>> m_groups;
    std::size_t m_nNext = 0;
};

}  // namespace rtf2html
