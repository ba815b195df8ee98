#include "rtf2html/ElementStack.h"

namespace rtf2html {
namespace {

std::string_view Name(Element element)
{
    switch (element) {
    case Element::P: return "p";
    case Element::B: return "b";
    case Element::I: return "i";
    case Element::U: return "u";
    case Element::Font: return "font";
    case Element::A: return "a";
    }
    return "";
}

}  // namespace

bool CElementStack::IsOpen(Element element) const
{
    for (std::size_t k = 0; k < m_nDepth; ++k)
        if (m_stack[k].m_element == element)
            return true;
    return false;
}

void CElementStack::Push(Element element, std::size_t tagStart)
{
    m_stack[m_nDepth++] = {element, m_out.size(), tagStart};
}

void CElementStack::CloseInnermost()
{
    const COpen& open = m_stack[--m_nDepth];
    if (m_out.size() == open.m_nContentStart) {
        m_out.resize(open.m_nTagStart);
        return;
    }
    const std::string_view name = Name(open.m_element);
    m_out.append("</", 2).append(name.data(), name.size()).push_back('>');
}

void CElementStack::OpenTag(Element element)
{
    if (element == Element::P) {
        OpenParagraph();
        return;
    }
    if (IsOpen(element))
        return;
    const std::size_t tagStart = m_out.size();
    if (element == Element::Font) {
        m_out += "<font size=\"";
        m_out += m_strFontSize;
        m_out += "\">";
    } else {
        // A reopened link has lost its target; its text stays marked as a link.
        m_out += '<';
        m_out += Name(element);
        m_out += '>';
    }
    Push(element, tagStart);
}

void CElementStack::CloseTag(Element element)
{
    if (!IsOpen(element))
        return;
    CList above;
    std::size_t count = 0;
    for (;;) {
        const Element top = m_stack[m_nDepth - 1].m_element;
        CloseInnermost();
        if (top == element)
            break;
        above[count++] = top;
    }
    for (std::size_t k = 0; k < count; ++k)
        OpenTag(above[k]);
}

void CElementStack::CloseAllTags()
{
    while (m_nDepth > 0)
        CloseInnermost();
}

void CElementStack::OpenParagraph()
{
    CList remembered;
    std::size_t count = 0;
    for (std::size_t k = 0; k < m_nDepth; ++k)
        if (m_stack[k].m_element != Element::P)
            remembered[count++] = m_stack[k].m_element;
    CloseAllTags();
    const std::size_t tagStart = m_out.size();
    m_out += "<p align=\"";
    m_out += m_strAlignment;
    m_out += "\">";
    Push(Element::P, tagStart);
    for (std::size_t k = 0; k < count; ++k)
        OpenTag(remembered[k]);
}

void CElementStack::OpenLink(std::string_view target)
{
    CloseTag(Element::A);  // links do not nest
    CList remembered;
    std::size_t count = 0;
    if (!IsOpen(Element::P)) {
        for (; count < m_nDepth; ++count)
            remembered[count] = m_stack[count].m_element;
        CloseAllTags();
    }
    const std::size_t tagStart = m_out.size();
    m_out += "<a href=\"";
    m_out += target;
    m_out += "\">";
    Push(Element::A, tagStart);
    for (std::size_t k = 0; k < count; ++k)
        OpenTag(remembered[k]);
}

}  // namespace rtf2html
