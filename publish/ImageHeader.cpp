#include "publish/ImageHeader.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace publish {

namespace {

// Each read takes a window this large, so walking a JPEG's segments or a
// GIF's blocks costs one read per window, not one per field.
constexpr std::size_t kWindowBytes = 4096;
// A header that needs more reads than this is not worth finding here: the
// decoder is the fallback, and a hostile file cannot keep the thread busy.
constexpr int kMaxReads = 64;
// A TIFF directory with more entries than this is out of shape.
constexpr unsigned kMaxTiffEntries = 1024;

class CHeaderBytes {
public:
    explicit CHeaderBytes(const ReadImageBytes& read) : m_read(read) {}

    // nBytes at nOffset, or null when the file ends before them or the reads are spent.
    const unsigned char* Get(std::uint64_t nOffset, std::size_t nBytes)
    {
        if (nOffset > UINT64_MAX - nBytes)
            return nullptr;
        if (nOffset < m_nStart || nOffset + nBytes > m_nStart + m_window.size()) {
            if (m_nReads >= kMaxReads)
                return nullptr;
            ++m_nReads;
            m_window = m_read(nOffset, std::max(nBytes, kWindowBytes));
            m_nStart = nOffset;
            if (m_window.size() < nBytes)
                return nullptr;
        }
        return reinterpret_cast<const unsigned char*>(m_window.data()) + (nOffset - m_nStart);
    }

private:
    const ReadImageBytes& m_read;
    std::string m_window;
    std::uint64_t m_nStart = 0;
    int m_nReads = 0;
};

std::uint32_t Big16(const unsigned char* p) { return (std::uint32_t{p[0]} << 8) | p[1]; }
std::uint32_t Big32(const unsigned char* p) { return (Big16(p) << 16) | Big16(p + 2); }
std::uint32_t Little16(const unsigned char* p) { return (std::uint32_t{p[1]} << 8) | p[0]; }
std::uint32_t Little32(const unsigned char* p) { return (Little16(p + 2) << 16) | Little16(p); }

std::optional<CImageSize> Positive(std::uint64_t nWidth, std::uint64_t nHeight)
{
    if (nWidth == 0 || nHeight == 0 || nWidth > INT_MAX || nHeight > INT_MAX)
        return std::nullopt;
    return CImageSize{static_cast<int>(nWidth), static_cast<int>(nHeight)};
}

bool StartsWith(const unsigned char* p, const char* prefix, std::size_t n)
{
    return std::memcmp(p, prefix, n) == 0;
}

std::optional<CImageSize> PngSize(CHeaderBytes& bytes)
{
    // The signature, then IHDR, which the format puts first.
    const unsigned char* p = bytes.Get(0, 24);
    if (!p || !StartsWith(p, "\x89PNG\r\n\x1a\n", 8) || Big32(p + 8) != 13 || !StartsWith(p + 12, "IHDR", 4))
        return std::nullopt;
    return Positive(Big32(p + 16), Big32(p + 20));
}

std::optional<CImageSize> BmpSize(CHeaderBytes& bytes)
{
    const unsigned char* p = bytes.Get(0, 26);
    if (!p || !StartsWith(p, "BM", 2))
        return std::nullopt;
    const std::uint32_t nHeaderSize = Little32(p + 14);
    if (nHeaderSize == 12)  // the core header: unsigned 16-bit sizes
        return Positive(Little16(p + 18), Little16(p + 20));
    // The info header and its later versions: signed 32-bit sizes, a
    // negative height for rows stored top-down.
    if (nHeaderSize != 40 && nHeaderSize != 52 && nHeaderSize != 56 && nHeaderSize != 108 && nHeaderSize != 124)
        return std::nullopt;
    const auto nWidth = static_cast<std::int32_t>(Little32(p + 18));
    const auto nHeight = static_cast<std::int64_t>(static_cast<std::int32_t>(Little32(p + 22)));
    if (nWidth <= 0)
        return std::nullopt;
    return Positive(static_cast<std::uint64_t>(nWidth), static_cast<std::uint64_t>(nHeight < 0 ? -nHeight : nHeight));
}

bool IsFrameHeader(unsigned char marker)
{
    // SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<CImageSize> JpegSize(CHeaderBytes& bytes)
{
    const unsigned char* p = bytes.Get(0, 2);
    if (!p || p[0] != 0xFF || p[1] != 0xD8)
        return std::nullopt;
    std::uint64_t nAt = 2;
    for (;;) {
        p = bytes.Get(nAt, 1);
        if (!p || *p != 0xFF)
            return std::nullopt;  // not at a marker: the stream is out of shape
        // A marker may be preceded by any number of fill bytes.
        unsigned char marker = 0xFF;
        while (marker == 0xFF) {
            p = bytes.Get(++nAt, 1);
            if (!p)
                return std::nullopt;
            marker = *p;
        }
        ++nAt;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;  // markers without a segment
        if (marker == 0x00 || marker == 0xD9 || marker == 0xDA)
            return std::nullopt;  // the image data or its end before any frame header
        p = bytes.Get(nAt, 2);
        if (!p || Big16(p) < 2)
            return std::nullopt;
        const std::uint32_t nLength = Big16(p);
        if (IsFrameHeader(marker)) {
            // Length, precision, then the height and width. A height of 0 is
            // given later in the stream (DNL): the decoder knows it.
            p = bytes.Get(nAt, 7);
            if (!p || nLength < 8)
                return std::nullopt;
            return Positive(Big16(p + 5), Big16(p + 3));
        }
        nAt += nLength;
    }
}

std::optional<CImageSize> GifSize(CHeaderBytes& bytes)
{
    const unsigned char* p = bytes.Get(0, 13);
    if (!p || !(StartsWith(p, "GIF87a", 6) || StartsWith(p, "GIF89a", 6)))
        return std::nullopt;
    const std::uint32_t nScreenWidth = Little16(p + 6);
    const std::uint32_t nScreenHeight = Little16(p + 8);
    std::uint64_t nAt = 13;
    if (p[10] & 0x80)
        nAt += 3u * (2u << (p[10] & 7));  // the global colour table
    // Extensions may come before the first image; each is a label and
    // sub-blocks up to an empty one.
    for (;;) {
        p = bytes.Get(nAt, 1);
        if (!p)
            return std::nullopt;
        if (*p == 0x2C)
            break;
        if (*p != 0x21)
            return std::nullopt;  // the trailer, or not a block at all
        nAt += 2;
        for (;;) {
            p = bytes.Get(nAt, 1);
            if (!p)
                return std::nullopt;
            nAt += 1u + *p;
            if (*p == 0)
                break;
        }
    }
    // Decoders differ on an image smaller than its screen; a capture's
    // first image covers it, and only that case is certain.
    p = bytes.Get(nAt + 1, 8);
    if (!p || Little16(p) != 0 || Little16(p + 2) != 0 || Little16(p + 4) != nScreenWidth ||
        Little16(p + 6) != nScreenHeight)
        return std::nullopt;
    return Positive(nScreenWidth, nScreenHeight);
}

std::optional<CImageSize> TiffSize(CHeaderBytes& bytes)
{
    const unsigned char* p = bytes.Get(0, 8);
    if (!p)
        return std::nullopt;
    const bool bLittle = StartsWith(p, "II*\0", 4);
    if (!bLittle && !StartsWith(p, "MM\0*", 4))
        return std::nullopt;
    const auto u16 = [bLittle](const unsigned char* q) { return bLittle ? Little16(q) : Big16(q); };
    const auto u32 = [bLittle](const unsigned char* q) { return bLittle ? Little32(q) : Big32(q); };
    // The first directory, wherever the file puts it.
    const std::uint64_t nDirectory = u32(p + 4);
    p = bytes.Get(nDirectory, 2);
    if (!p)
        return std::nullopt;
    const std::uint32_t nEntries = u16(p);
    if (nEntries == 0 || nEntries > kMaxTiffEntries)
        return std::nullopt;
    p = bytes.Get(nDirectory + 2, 12u * nEntries);
    if (!p)
        return std::nullopt;
    std::optional<std::uint32_t> width, height;
    for (std::uint32_t i = 0; i < nEntries; ++i, p += 12) {
        const std::uint32_t nTag = u16(p);
        if (nTag != 256 && nTag != 257)
            continue;
        // One value, a SHORT or a LONG, held in the entry itself.
        const std::uint32_t nType = u16(p + 2);
        if (u32(p + 4) != 1 || (nType != 3 && nType != 4))
            return std::nullopt;
        (nTag == 256 ? width : height) = nType == 3 ? u16(p + 8) : u32(p + 8);
    }
    if (!width || !height)
        return std::nullopt;
    return Positive(*width, *height);
}

}  // namespace

std::optional<CImageSize> ImageSizeFromHeader(const ReadImageBytes& read)
{
    CHeaderBytes bytes(read);
    const unsigned char* p = bytes.Get(0, 2);
    if (!p)
        return std::nullopt;
    switch (p[0]) {
    case 0x89: return PngSize(bytes);
    case 'B': return BmpSize(bytes);
    case 0xFF: return JpegSize(bytes);
    case 'G': return GifSize(bytes);
    case 'I':
    case 'M': return TiffSize(bytes);
    default: return std::nullopt;
    }
}

}  // namespace publish
