#include "account/BlogType.h"

#include "res/resource.h"

namespace account {

bool UsesServerFields(int nBlogType) { return nBlogType == kBlogTypeMovable; }

unsigned BlogTypeLabelId(int nBlogType)
{
    if (nBlogType < kBlogTypeTypePad || nBlogType > kBlogTypeLiveJournal)
        return 0;
    return IDS_BLOG_TYPE_LABEL_FIRST + static_cast<unsigned>(nBlogType);
}

std::string FormatLoginTitle(const std::string& format, const std::string& label)
{
    std::string title;
    title.reserve(format.size() + label.size());
    bool bLabelUsed = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (format[i] == '%' && next == '%') {
            title += '%';
            ++i;
        } else if (format[i] == '%' && next == 's' && !bLabelUsed) {
            title += label;
            bLabelUsed = true;
            ++i;
        } else {
            title += format[i];
        }
    }
    return title;
}

}  // namespace account
