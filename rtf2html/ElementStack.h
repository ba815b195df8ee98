#pragma once
// The HTML elements open at the current point of the conversion, and the tag
// writing that keeps the output well nested: closing an element that is not
// the innermost closes the ones inside it and opens them again after it.
#include <string>
#include <string_view>
#include <vector>

namespace rtf2html {

enum class Element { P, B, I, U, Font, A };

class CElementStack {
public:
    explicit CElementStack(std::string& out) : m_out(out) {}

    // "p" opens a paragraph. A style element that is already open is not
    // opened again: RTF's on and off words are switches, not a nesting, and
    // a second bold-on must neither keep text bold after one bold-off nor let
    // the stack (and the work of every close) grow with the input.
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
    std::size_t Depth() const { return m_stack.size(); }

    // The HTML size ("1" to "7") the next font element gets.
    std::string m_strFontSize;
    // "left", "center" or "right" for the next paragraph element.
    std::string m_strAlignment = "left";

private:
    void WriteOpen(Element element);
    void WriteClose(Element element);

    std::string& m_out;
    std::vector<Element> m_stack;  // outermost first
};

}  // namespace rtf2html
