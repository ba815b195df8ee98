#pragma once
// The HTML elements open at the current point of the conversion, and the tag
// writing that keeps the output well nested: closing an element that is not
// the innermost closes the ones inside it and opens them again after it.
//
// That closing and reopening leaves many elements without content. Each
// element remembers where its opening tag was written; one closed with nothing
// written since is taken back instead of closed, so only elements with content
// reach the post, the enclosing ones of removed empty elements included.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace rtf2html {

enum class Element { P, B, I, U, Font, A };

class CElementStack {
public:
    explicit CElementStack(std::string& out) : m_out(out) {}

    // "p" opens a paragraph. An element that is already open is not opened
    // again: RTF's on and off words are switches, not a nesting, and a second
    // bold-on must neither keep text bold after one bold-off nor let the stack,
    // and with it the work of every close, grow with the input.
    void OpenTag(Element element);
    // Closes the element and everything inside it, then reopens those, the
    // innermost first. Nothing happens when the element is not open.
    void CloseTag(Element element);
    void CloseAllTags();
    // Paragraphs never nest: everything open is closed, the paragraph opened
    // as the outermost element and the style elements opened again inside it.
    void OpenParagraph();
    // target is already escaped for the attribute. Inside a paragraph the link
    // goes innermost; outside one it becomes the outermost element.
    void OpenLink(std::string_view target);

    bool IsOpen(Element element) const;
    std::size_t Depth() const { return m_nDepth; }

    // The HTML size ("1" to "7") the next font element gets.
    std::string m_strFontSize;
    // "left", "center" or "right" for the next paragraph element.
    std::string_view m_strAlignment = "left";

private:
    struct COpen {
        Element m_element;
        std::size_t m_nContentStart;  // output length just after the opening tag
        std::size_t m_nTagStart;
    };
    // Each element at most once.
    static constexpr std::size_t kMaxDepth = 6;
    using CList = std::array<Element, kMaxDepth>;

    void Push(Element element, std::size_t tagStart);
    void CloseInnermost();

    std::string& m_out;
    std::array<COpen, kMaxDepth> m_stack{};  // outermost first
    std::size_t m_nDepth = 0;
};

}  // namespace rtf2html
