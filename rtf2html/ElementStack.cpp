#include "rtf2html/ElementStack.h"

#include <algorithm>

namespace rtf2html {
namespace {

const char* Name(Element element)
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
    return std::find(m_stack.begin(), m_stack.end(), element) != m_stack.end();
}

void CElementStack::WriteOpen(Element element)
{
    m_stack.push_back(element);
    if (element == Element::Font) {
        m_out += "<font size=\"";
        m_out += m_strFontSize;
        m_out += "\">";
        return;
    }
    // A reopened link has lost its target; its text stays marked as a link.
    m_out += '<';
    m_out += Name(element);
    m_out += '>';
}

void CElementStack::WriteClose(Element element)
{
    m_out += "</";
    m_out += Name(element);
    m_out += '>';
}

void CElementStack::OpenTag(Element element)
{
    if (element == Element::P) {
        OpenParagraph();
        return;
    }
    if (IsOpen(element))
        return;
    WriteOpen(element);
}

void CElementStack::CloseTag(Element element)
{
    if (!IsOpen(element))
        return;
    std::vector<Element> above;
    for (;;) {
        const Element top = m_stack.back();
        m_stack.pop_back();
        WriteClose(top);
        if (top == element)
            break;
        above.push_back(top);
    }
    for (Element e : above)
        OpenTag(e);
}

void CElementStack::CloseAllTags()
{
    while (!m_stack.empty()) {
        WriteClose(m_stack.back());
        m_stack.pop_back();
    }
}

void CElementStack::OpenParagraph()
{
    std::vector<Element> remembered;
    for (Element e : m_stack)
        if (e != Element::P)
            remembered.push_back(e);
    CloseAllTags();
    m_stack.push_back(Element::P);
    m_out += "<p align=\"";
    m_out += m_strAlignment;
    m_out += "\">";
    for (Element e : remembered)
        OpenTag(e);
}

void CElementStack::OpenLink(std::string_view target)
{
    CloseTag(Element::A);  // links do not nest
    std::vector<Element> remembered;
    if (!IsOpen(Element::P)) {
        remembered = m_stack;
        CloseAllTags();
    }
    m_stack.push_back(Element::A);
    m_out += "<a href=\"";
    m_out += target;
    m_out += "\">";
    for (Element e : remembered)
        OpenTag(e);
}

}  // namespace rtf2html
