// The element lookup and the escaping on arbitrary text. The first byte picks
// the element name and the code page; the rest is the text. Checks the cursor
// contract, and that escaping then decoding gives the text back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/CodePage.h"
#include "settings/QTVXmlString.h"

namespace {

bool TestLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE && b != 0xA0;
}
const settings::CodePage kDoubleByte = {TestLeadByte, settings::SingleByteCodePage().pfnFromUtf16};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Reads every name element of text in turn with one cursor.
void Walk(QTVXmlString& text, const std::string& name, int depth)
{
    int cursor = 0;
    int previous = -1;
    for (;;) {
        const int before = cursor;
        QTVXmlString element;
        element = "untouched";
        if (!text.GetElement(name, element, cursor)) {
            Check(cursor == before);
            Check(element == "untouched");
            return;
        }
        Check(cursor > previous && cursor >= before && cursor < static_cast<int>(text.size()));
        Check(text[cursor] == '>');
        previous = cursor;
        std::string inner;
        int child = 0;
        element.GetElementText(name, inner, child);
        if (depth > 0)
            Walk(element, name, depth - 1);  // bounded by the harness, not by the input
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const char* const kNames[] = {"a", "b", "x", "Login", "<Login>", "userprefs", "Blogs", "Blog_Object",
                                         "BlogId", "?xml", "!--", "/a"};
    const std::uint8_t selector = data[0];
    settings::SetCodePage(selector & 0x80 ? &kDoubleByte : nullptr);
    const std::string name = kNames[(selector & 0x7F) % (sizeof kNames / sizeof kNames[0])];
    QTVXmlString text(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

    Walk(text, name, 2);

    std::string copy = text;
    QTVXmlString::EscapeText(copy);
    QTVXmlString::UnescapeText(copy);
    Check(copy == text);
    copy = text;
    QTVXmlString::UnescapeText(copy);
    Check(copy.size() <= text.size());

    settings::SetCodePage(nullptr);
    return 0;
}
