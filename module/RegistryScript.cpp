#include "module/RegistryScript.h"

#include <cctype>
#include <cstdlib>

namespace module {

namespace {

// Nesting deeper than any real registration is refused, so a hostile script
// cannot exhaust the stack of the recursive descent below.
constexpr int kMaxDepth = 32;

struct CToken {
    enum Kind { End, Word, Quoted, Open, Close, Equals, Error } kind = End;
    std::string text;
    std::size_t offset = 0;
};

class CParser {
public:
    CParser(const std::string& script, const Replacements& replacements)
        : m_script(script), m_replacements(replacements)
    {
    }

    CParseResult Parse()
    {
        CParseResult result;
        Next();
        while (m_token.kind != CToken::End) {
            if (m_token.kind != CToken::Word)
                return Fail("a root key name", result);
            CRegRoot root;
            root.strRoot = CanonicalRoot(m_token.text);
            if (root.strRoot.empty())
                return Fail("HKCR, HKCU or HKLM", result);
            Next();
            if (m_token.kind != CToken::Open)
                return Fail("'{' after the root key", result);
            Next();
            if (!ParseKeys(root.keys, 1))
                return Fail(m_strExpected, result);
            result.roots.push_back(std::move(root));
            Next();
        }
        result.bOk = true;
        return result;
    }

private:
    // Keys up to the closing brace of the enclosing block.
    bool ParseKeys(std::vector<CRegKey>& keys, int depth)
    {
        while (m_token.kind != CToken::Close) {
            if (m_token.kind == CToken::Word && m_token.text == "val")
                return Expect("a key (values belong inside a key)");
            if (!ParseKey(keys, depth))
                return false;
        }
        return true;
    }

    // Named values and subkeys of one key, in any order, up to its closing brace.
    bool ParseBody(CRegKey& key, int depth)
    {
        while (m_token.kind != CToken::Close) {
            if (m_token.kind != CToken::Word || m_token.text != "val") {
                if (!ParseKey(key.subkeys, depth))
                    return false;
                continue;
            }
            Next();
            if (m_token.kind != CToken::Word && m_token.kind != CToken::Quoted)
                return Expect("a value name after 'val'");
            CRegValue value;
            value.strName = m_token.text;
            Next();
            if (m_token.kind != CToken::Equals)
                return Expect("'=' after the value name");
            Next();
            if (!ParseValue(value))
                return false;
            key.values.push_back(std::move(value));
        }
        return true;
    }

    // [NoRemove|ForceRemove|Delete] name [= type 'value'] [{ body }]
    bool ParseKey(std::vector<CRegKey>& out, int depth)
    {
        if (depth > kMaxDepth)
            return Expect("less deeply nested keys");
        CRegKey key;
        if (m_token.kind == CToken::Word) {
            if (m_token.text == "NoRemove")
                key.flag = KeyFlag::NoRemove;
            else if (m_token.text == "ForceRemove")
                key.flag = KeyFlag::ForceRemove;
            else if (m_token.text == "Delete")
                key.flag = KeyFlag::Delete;
            if (key.flag != KeyFlag::None)
                Next();
        }
        if (m_token.kind != CToken::Word && m_token.kind != CToken::Quoted)
            return Expect("a key name");
        if (m_token.text.empty() || m_token.text.find('\\') != std::string::npos)
            return Expect("a key name without backslashes");
        key.strName = m_token.text;
        Next();
        if (m_token.kind == CToken::Equals) {
            Next();
            if (!ParseValue(key.defaultValue))
                return false;
            key.bHasDefault = true;
        }
        if (m_token.kind == CToken::Open) {
            Next();
            if (!ParseBody(key, depth + 1))
                return false;
            Next();
        }
        out.push_back(std::move(key));
        return true;
    }

    bool ParseValue(CRegValue& value)
    {
        if (m_token.kind != CToken::Word || (m_token.text != "s" && m_token.text != "d"))
            return Expect("a value type, s or d");
        value.bNumber = m_token.text == "d";
        Next();
        if (m_token.kind != CToken::Quoted)
            return Expect("a quoted value");
        if (value.bNumber) {
            const std::string& t = m_token.text;
            char* end = nullptr;
            value.nNumber = std::strtoul(t.c_str(), &end, 0);
            if (t.empty() || *end != '\0')
                return Expect("a number");
        } else {
            value.strText = m_token.text;
        }
        Next();
        return true;
    }

    static std::string CanonicalRoot(const std::string& name)
    {
        if (name == "HKCR" || name == "HKEY_CLASSES_ROOT")
            return "HKEY_CLASSES_ROOT";
        if (name == "HKCU" || name == "HKEY_CURRENT_USER")
            return "HKEY_CURRENT_USER";
        if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE")
            return "HKEY_LOCAL_MACHINE";
        return {};
    }

    void Next()
    {
        const std::string& s = m_script;
        while (m_pos < s.size() && std::isspace(static_cast<unsigned char>(s[m_pos])))
            ++m_pos;
        m_token = CToken();
        m_token.offset = m_pos;
        if (m_pos >= s.size())
            return;
        const char c = s[m_pos];
        if (c == '{' && !LooksLikeGuid()) {
            m_token.kind = CToken::Open;
            ++m_pos;
        } else if (c == '}') {
            m_token.kind = CToken::Close;
            ++m_pos;
        } else if (c == '=') {
            m_token.kind = CToken::Equals;
            ++m_pos;
        } else if (c == '\'') {
            ++m_pos;
            std::string raw;
            for (;;) {
                if (m_pos >= s.size()) {
                    m_token.kind = CToken::Error;
                    return;
                }
                if (s[m_pos] == '\'') {
                    if (m_pos + 1 < s.size() && s[m_pos + 1] == '\'') {
                        raw += '\'';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                raw += s[m_pos++];
            }
            m_token.kind = Replace(raw, m_token.text) ? CToken::Quoted : CToken::Error;
        } else {
            std::string raw;
            if (c == '{') {  // a {guid} name
                raw = s.substr(m_pos, 38);
                m_pos += 38;
            } else {
                while (m_pos < s.size() && !std::isspace(static_cast<unsigned char>(s[m_pos])) &&
                       std::string("{}='").find(s[m_pos]) == std::string::npos)
                    raw += s[m_pos++];
            }
            m_token.kind = Replace(raw, m_token.text) ? CToken::Word : CToken::Error;
        }
    }

    // A '{' that starts a {guid} key name rather than a block.
    bool LooksLikeGuid() const
    {
        const std::string& s = m_script;
        const std::size_t close = s.find('}', m_pos);
        if (close == std::string::npos || close - m_pos != 37)
            return false;
        for (std::size_t i = m_pos + 1; i < close; ++i) {
            const char c = s[i];
            if (!(std::isxdigit(static_cast<unsigned char>(c)) || c == '-'))
                return false;
        }
        return true;
    }

    bool Replace(const std::string& raw, std::string& out) const
    {
        out.clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '%') {
                out += raw[i];
                continue;
            }
            const std::size_t end = raw.find('%', i + 1);
            if (end == std::string::npos)
                return false;
            const std::string name = raw.substr(i + 1, end - i - 1);
            if (name.empty()) {
                out += '%';
            } else {
                const auto it = m_replacements.find(name);
                if (it == m_replacements.end())
                    return false;
                out += it->second;
            }
            i = end;
        }
        return true;
    }

    bool Expect(const std::string& what)
    {
        if (m_strExpected.empty())
            m_strExpected = what;
        return false;
    }

    CParseResult& Fail(const std::string& what, CParseResult& result)
    {
        result.bOk = false;
        result.roots.clear();
        const std::string found = m_token.kind == CToken::Error ? "an unterminated or unknown %NAME% token"
                                  : m_token.kind == CToken::End ? "the end of the script"
                                                                : "'" + m_token.text + "'";
        result.strError = "expected " + (m_strExpected.empty() ? what : m_strExpected) + " at offset " +
                          std::to_string(m_token.offset) + ", found " + found;
        return result;
    }

    const std::string& m_script;
    const Replacements& m_replacements;
    std::size_t m_pos = 0;
    CToken m_token;
    std::string m_strExpected;
};

}  // namespace

CParseResult ParseRegistryScript(const std::string& script, const Replacements& replacements)
{
    return CParser(script, replacements).Parse();
}

}  // namespace module
