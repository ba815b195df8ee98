#include "util/KeyValueText.h"

namespace util {

bool FindKeyValue(const std::string& text, const std::string& key, std::string& value)
{
    const std::string prefix = key + "=";
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::size_t lineEnd = end;
        if (lineEnd > pos && text[lineEnd - 1] == '\r')
            --lineEnd;
        if (lineEnd - pos >= prefix.size() && text.compare(pos, prefix.size(), prefix) == 0) {
            value = text.substr(pos + prefix.size(), lineEnd - pos - prefix.size());
            return true;
        }
        pos = end + 1;
    }
    return false;
}

}  // namespace util
