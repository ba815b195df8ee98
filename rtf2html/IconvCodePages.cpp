#include "rtf2html/IconvCodePages.h"

#include <iconv.h>

#include <cerrno>

namespace rtf2html {

namespace {

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

// Bytes that end inside a character.
constexpr char32_t kIncomplete = 0xFFFFFFFF;

std::string IconvName(unsigned codePage)
{
    return codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
}

// The one character the bytes stand for, 0 when they stand for none or for
// more than one, kIncomplete when they end inside a character.
char32_t DecodeOne(iconv_t cd, const char* bytes, std::size_t count)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes);
    std::size_t inLeft = count;
    unsigned char buffer[16];
    char* out = reinterpret_cast<char*>(buffer);
    std::size_t outLeft = sizeof buffer;
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
        return errno == EINVAL ? kIncomplete : 0;
    // A page that combines characters (1258) holds the last one back until
    // it is told the text has ended.
    if (iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1) || sizeof buffer - outLeft != 4)
        return 0;
    return static_cast<char32_t>(buffer[0]) << 24 | static_cast<char32_t>(buffer[1]) << 16 |
           static_cast<char32_t>(buffer[2]) << 8 | buffer[3];
}

}  // namespace

struct CIconvCodePages::CPage {
    explicit CPage(iconv_t cd) : m_cd(cd)
    {
        for (unsigned byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            const char32_t character = DecodeOne(m_cd, &c, 1);
            m_lead[byte] = character == kIncomplete;
            m_single[byte] = character == kIncomplete ? 0 : character;
        }
    }
    ~CPage() { iconv_close(m_cd); }
    CPage(const CPage&) = delete;
    CPage& operator=(const CPage&) = delete;

    char32_t Pair(unsigned char lead, unsigned char trail)
    {
        std::unique_ptr<std::array<char32_t, 256>>& row = m_trails[lead];
        if (!row) {
            row = std::make_unique<std::array<char32_t, 256>>();
            for (unsigned byte = 0; byte < 256; ++byte) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(byte)};
                const char32_t character = DecodeOne(m_cd, pair, 2);
                (*row)[byte] = character == kIncomplete ? 0 : character;
            }
        }
        return (*row)[trail];
    }

    iconv_t m_cd;
    std::array<char32_t, 256> m_single{};
    std::array<bool, 256> m_lead{};
    std::array<std::unique_ptr<std::array<char32_t, 256>>, 256> m_trails;
};

CIconvCodePages::CIconvCodePages(unsigned ansiCodePage) : m_nAnsiCodePage(ansiCodePage)
{
    const iconv_t cd = iconv_open(IconvName(ansiCodePage).c_str(), "UTF-32BE");
    if (cd != kNoConversion)
        m_pToAnsi = cd;
}

CIconvCodePages::~CIconvCodePages()
{
    if (m_pToAnsi != nullptr)
        iconv_close(static_cast<iconv_t>(m_pToAnsi));
}

CIconvCodePages::CPage* CIconvCodePages::Page(unsigned codePage)
{
    const auto found = m_pages.find(codePage);
    if (found != m_pages.end())
        return found->second.get();
    const iconv_t cd = codePage != 0 ? iconv_open("UTF-32BE", IconvName(codePage).c_str()) : kNoConversion;
    std::unique_ptr<CPage>& page = m_pages[codePage];
    if (cd != kNoConversion)
        page = std::make_unique<CPage>(cd);
    return page.get();
}

bool CIconvCodePages::IsLeadByte(unsigned codePage, unsigned char byte)
{
    CPage* page = Page(codePage);
    return page != nullptr && page->m_lead[byte];
}

char32_t CIconvCodePages::ToUnicode(unsigned codePage, const char* bytes, std::size_t count)
{
    CPage* page = Page(codePage);
    if (page == nullptr || count == 0 || count > 2)
        return 0;
    const unsigned char first = static_cast<unsigned char>(bytes[0]);
    if (count == 1)
        return page->m_single[first];
    return page->m_lead[first] ? page->Pair(first, static_cast<unsigned char>(bytes[1])) : 0;
}

bool CIconvCodePages::AppendAnsi(char32_t character, std::string& out)
{
    auto found = m_ansiBytes.find(character);
    if (found == m_ansiBytes.end()) {
        std::string bytes;
        if (m_pToAnsi != nullptr) {
            const iconv_t cd = static_cast<iconv_t>(m_pToAnsi);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            unsigned char in[4] = {static_cast<unsigned char>(character >> 24), static_cast<unsigned char>(character >> 16),
                                   static_cast<unsigned char>(character >> 8), static_cast<unsigned char>(character)};
            char* inPos = reinterpret_cast<char*>(in);
            std::size_t inLeft = sizeof in;
            char buffer[8];
            char* outPos = buffer;
            std::size_t outLeft = sizeof buffer;
            if (iconv(cd, &inPos, &inLeft, &outPos, &outLeft) == 0 &&
                iconv(cd, nullptr, nullptr, &outPos, &outLeft) == 0)
                bytes.assign(buffer, sizeof buffer - outLeft);
            // Only a character that reads back as itself counts: no look-alikes.
            if (bytes.empty() || bytes.size() > 2 || ToUnicode(m_nAnsiCodePage, bytes.data(), bytes.size()) != character)
                bytes.clear();
        }
        found = m_ansiBytes.emplace(character, std::move(bytes)).first;
    }
    out += found->second;
    return !found->second.empty();
}

}  // namespace rtf2html
