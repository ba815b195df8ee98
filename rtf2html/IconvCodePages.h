#pragma once
// Code pages read with the C library's iconv, for the native builds: the
// command-line tool, the tests, the fuzzer and the timing. Each page is read
// into a table on first use (its lead bytes, its single bytes, and one row of
// trail bytes per lead byte met), so a character costs a table look-up.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "rtf2html/CodePages.h"

namespace rtf2html {

class CIconvCodePages final : public ICodePages {
public:
    explicit CIconvCodePages(unsigned ansiCodePage = 1252);
    ~CIconvCodePages();
    CIconvCodePages(const CIconvCodePages&) = delete;
    CIconvCodePages& operator=(const CIconvCodePages&) = delete;

    unsigned AnsiCodePage() override { return m_nAnsiCodePage; }
    bool IsAvailable(unsigned codePage) override { return Page(codePage) != nullptr; }
    bool IsLeadByte(unsigned codePage, unsigned char byte) override;
    char32_t ToUnicode(unsigned codePage, const char* bytes, std::size_t count) override;
    bool AppendAnsi(char32_t character, std::string& out) override;

private:
    struct CPage;
    // Null when iconv cannot read the page.
    CPage* Page(unsigned codePage);

    unsigned m_nAnsiCodePage;
    std::map<unsigned, std::unique_ptr<CPage>> m_pages;
    void* m_pToAnsi = nullptr;  // iconv_t
    // Bytes of each character asked for; empty when the page lacks it.
    std::unordered_map<char32_t, std::string> m_ansiBytes;
};

}  // namespace rtf2html
