// The capture's size from its header, on arbitrary bytes: the reading never
// reads out of bounds, keeps to its bound of reads, gives only positive
// sizes, and a size it found stays the same when bytes follow the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "publish/ImageHeader.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::optional<publish::CImageSize> SizeOf(const std::string& file, int& nReads)
{
    nReads = 0;
    return publish::ImageSizeFromHeader([&](std::uint64_t nOffset, std::size_t nBytes) {
        ++nReads;
        // A read of the whole TIFF directory is the largest the reading asks for.
        Check(nBytes <= 12u * 1024u);
        if (nOffset >= file.size())
            return std::string();
        return file.substr(static_cast<std::size_t>(nOffset), nBytes);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file(reinterpret_cast<const char*>(data), size);
    int nReads = 0;
    const auto found = SizeOf(file, nReads);
    Check(nReads <= 64);
    if (!found)
        return 0;
    Check(found->m_nWidth > 0 && found->m_nHeight > 0);
    const auto extended = SizeOf(file + std::string(5000, '\xFF'), nReads);
    Check(extended && extended->m_nWidth == found->m_nWidth && extended->m_nHeight == found->m_nHeight);
    return 0;
}
