#include "rtf2html/GroupStripper.h"

#include <vector>

namespace rtf2html {

std::string StripGroups(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    // Output length at each open "{". A group's content is copied as if it
    // stayed and cut off again when its "}" turns up, so an unmatched "{"
    // costs nothing extra: one pass, whatever the nesting.
    std::vector<std::size_t> openAt;
    std::size_t plain = 0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (c == '\\') {
            i += 2;  // the escaped character, whatever it is, is not structure
            continue;
        }
        if (c != '{' && c != '}') {
            ++i;
            continue;
        }
        out.append(text.data() + plain, i - plain);
        plain = i + 1;
        ++i;
        if (c == '{') {
            openAt.push_back(out.size());
        } else if (!openAt.empty()) {
            out.resize(openAt.back());
            openAt.pop_back();
        } else {
            out += '}';
            return out;
        }
    }
    if (plain < n)
        out.append(text.data() + plain, n - plain);
    return out;
}

}  // namespace rtf2html
