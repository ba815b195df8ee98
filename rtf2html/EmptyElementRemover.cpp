#include "rtf2html/EmptyElementRemover.h"

#include <map>
#include <vector>

namespace rtf2html {
namespace {

struct COpenElement {
    std::string_view m_strName;
    std::size_t m_nTagStart;      // where its opening tag stands in the output
    std::size_t m_nContentStart;  // just after that tag
};

class CRemover {
public:
    explicit CRemover(std::size_t capacity) { m_out.reserve(capacity); }

    void Text(std::string_view text) { m_out.append(text.data(), text.size()); }

    void Open(std::string_view tag, std::string_view name)
    {
        m_open.push_back({name, m_out.size(), m_out.size() + tag.size()});
        ++m_count[name];
        m_out.append(tag.data(), tag.size());
    }

    void Close(std::string_view name)
    {
        const auto found = m_count.find(name);
        if (found == m_count.end() || found->second == 0)
            return;
        while (m_open.back().m_strName != name)
            CloseInnermost();
        CloseInnermost();
    }

    std::string Finish()
    {
        while (!m_open.empty())
            CloseInnermost();
        return std::move(m_out);
    }

private:
    void CloseInnermost()
    {
        const COpenElement element = m_open.back();
        m_open.pop_back();
        --m_count[element.m_strName];
        if (m_out.size() == element.m_nContentStart) {
            m_out.resize(element.m_nTagStart);
            return;
        }
        m_out += "</";
        m_out.append(element.m_strName.data(), element.m_strName.size());
        m_out += '>';
    }

    std::string m_out;
    std::vector<COpenElement> m_open;
    // How often each name is open, so a closing tag without an open element
    // is recognised without walking the open elements.
    std::map<std::string_view, std::size_t> m_count;
};

}  // namespace

std::string RemoveEmptyElements(std::string_view html)
{
    CRemover remover(html.size());
    std::size_t pos = 0;
    while (pos < html.size()) {
        const std::size_t lt = html.find('<', pos);
        const std::size_t gt = lt == std::string_view::npos ? lt : html.find('>', lt);
        if (gt == std::string_view::npos) {
            remover.Text(html.substr(pos));
            break;
        }
        remover.Text(html.substr(pos, lt - pos));
        pos = gt + 1;
        const std::string_view tag = html.substr(lt, gt - lt + 1);
        if (tag.size() > 2 && tag[1] == '/') {
            remover.Close(tag.substr(2, tag.size() - 3));
            continue;
        }
        const std::size_t space = tag.find(' ');
        const std::string_view name = space == std::string_view::npos ? tag.substr(1, tag.size() - 2)
                                                                       : tag.substr(1, space - 1);
        if (name == "br") {
            remover.Text("<br />");
            continue;
        }
        if (tag.size() >= 2 && tag[tag.size() - 2] == '/') {
            remover.Text(tag);  // self-closing: content, not an element to pair
            continue;
        }
        remover.Open(tag, name);
    }
    return remover.Finish();
}

}  // namespace rtf2html
