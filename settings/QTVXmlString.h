#pragma once
// A string whose value is a piece of XML text, with entity escaping and a
// forward-only element lookup. The object is itself a string, so callers fill
// it like any string (also as a receiving buffer, see GetBuffer) and search it
// in place. There is no DOM, no attribute access and no validation.
//
// Character searches honour the current code page (settings/CodePage.h): the
// trail byte of a double-byte character never matches. Names compare exactly.
#include <cstddef>
#include <string>

class QTVXmlString : public std::string {
public:
    QTVXmlString() = default;
    QTVXmlString(const std::string& text) : std::string(text) {}
    QTVXmlString(std::string&& text) : std::string(std::move(text)) {}
    QTVXmlString(const char* text) : std::string(text ? text : "") {}
    // UTF-16 text, converted with the current code page.
    explicit QTVXmlString(const std::wstring& text);
    QTVXmlString(const QTVXmlString&) = default;
    QTVXmlString(QTVXmlString&&) = default;
    QTVXmlString& operator=(const QTVXmlString&) = default;
    QTVXmlString& operator=(QTVXmlString&&) = default;
    QTVXmlString& operator=(const std::string& text)
    {
        std::string::operator=(text);
        return *this;
    }
    QTVXmlString& operator=(const char* text)
    {
        std::string::operator=(text ? text : "");
        return *this;
    }
    virtual ~QTVXmlString() = default;

    // The unit repeated level times while indentation is enabled.
    virtual std::string GetIndent() const;
    // Moves the level by delta; returns delta.
    virtual int AddIndent(int delta);
    void SetIndentUnit(const std::string& unit) { m_strIndentUnit = unit; }
    void EnableIndent(bool enable) { m_bIndent = enable; }

    // Makes the text writable storage for capacity characters plus a NUL and
    // returns it; a filler writes its text there and then calls ReleaseBuffer.
    char* GetBuffer(std::size_t capacity);
    // Sets the length from the first NUL in the storage, never looking past
    // it; without a NUL the whole storage counts as text.
    void ReleaseBuffer();

    // In place: & < > " ' become &amp; &lt; &gt; &quot; &apos;.
    static void EscapeText(std::string& text);
    // The exact inverse of EscapeText. No other entity is decoded.
    static void UnescapeText(std::string& text);

    // Finds the element name at or after cursor. Found: its inner text goes to
    // result (decoded when it is plain character data, otherwise as it is),
    // the cursor is left on the '>' of the closing tag, and the answer is true.
    // Not found: result and cursor are as they were on entry.
    bool GetElementText(const std::string& name, std::string& result, int& cursor);
    // The same lookup; the inner text becomes result's text.
    bool GetElement(const std::string& name, QTVXmlString& result, int& cursor);

private:
    bool FindElement(std::string name, std::string& inner, int& cursor);
    int FindChar(char wanted, int from, int end) const;

    // Working state of the lookup: '<' and '>' of the matched opening tag and
    // of the tag being examined.
    int m_nOpenStart = -1;
    int m_nOpenEnd = -1;
    int m_nTagStart = -1;
    int m_nTagEnd = -1;

    int m_nIndentLevel = 0;
    std::string m_strIndentUnit;
    bool m_bIndent = true;
};
