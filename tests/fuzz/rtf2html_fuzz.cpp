// The converter on arbitrary text: no crash, no undefined behaviour, and
// output that keeps its promises: every element closed, no per-cent sign,
// no link but to the web or to mail.
// Fonts of other scripts are read as a Western and as a Japanese system
// reads them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "rtf2html/HtmlText.h"
#include "rtf2html/IconvCodePages.h"
#include "rtf2html/RtfConverter.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Every opening tag has its closing tag, properly nested.
bool IsWellNested(const std::string& html)
{
    std::vector<std::string> open;
    std::size_t pos = 0;
    while ((pos = html.find('<', pos)) != std::string::npos) {
        const std::size_t end = html.find('>', pos);
        if (end == std::string::npos)
            return false;
        const std::string tag = html.substr(pos + 1, end - pos - 1);
        pos = end + 1;
        if (tag == "br /")
            continue;
        if (!tag.empty() && tag[0] == '/') {
            if (open.empty() || open.back() != tag.substr(1))
                return false;
            open.pop_back();
        } else {
            open.push_back(tag.substr(0, tag.find(' ')));
        }
    }
    return open.empty();
}

bool LinksOnlyToAllowedTargets(const std::string& html)
{
    const std::string open = "<a href=\"";
    for (std::size_t pos = html.find(open); pos != std::string::npos; pos = html.find(open, pos + 1)) {
        if (!rtf2html::IsAllowedLinkTarget(std::string_view(html).substr(pos + open.size())))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static rtf2html::CIconvCodePages western(1252);
    static rtf2html::CIconvCodePages japanese(932);
    const std::string rtf(reinterpret_cast<const char*>(data), size);
    CRtfConverter closing(&western);
    const std::string html = closing.Convert(rtf, "\\pard", true);
    Check(html.find('%') == std::string::npos);
    Check(IsWellNested(html));
    Check(LinksOnlyToAllowedTargets(html));
    // The post's own preparation: cut at the last paragraph mark, close the body.
    const std::size_t last = rtf.rfind("\\par");
    CRtfConverter prepared(&japanese);
    const std::string post = prepared.Convert((last == std::string::npos ? std::string() : rtf.substr(0, last)) + "\n}",
                                              "\\pard", true);
    Check(post.find('%') == std::string::npos);
    Check(IsWellNested(post));
    Check(LinksOnlyToAllowedTargets(post));
    return 0;
}
