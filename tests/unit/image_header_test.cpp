// The capture's size from its file header: what each format states, the
// headers that must be left to the decoder, and that a hostile file cannot
// make the reading go on.
#include <gtest/gtest.h>

#include <climits>

#include "publish/ImageHeader.h"

using publish::CImageSize;
using publish::ImageSizeFromHeader;

namespace {

struct CFile {
    std::string strBytes;
    int nReads = 0;

    std::optional<CImageSize> Size()
    {
        return ImageSizeFromHeader([this](std::uint64_t nOffset, std::size_t nBytes) {
            ++nReads;
            return nOffset >= strBytes.size() ? std::string() : strBytes.substr(static_cast<std::size_t>(nOffset), nBytes);
        });
    }
};

std::string SizeOf(const std::string& bytes)
{
    CFile file{bytes};
    const auto size = file.Size();
    return size ? std::to_string(size->m_nWidth) + "x" + std::to_string(size->m_nHeight) : "none";
}

std::string Big16(unsigned n) { return {static_cast<char>(n >> 8), static_cast<char>(n)}; }
std::string Big32(std::uint32_t n) { return Big16(n >> 16) + Big16(n & 0xFFFF); }
std::string Little16(unsigned n) { return {static_cast<char>(n), static_cast<char>(n >> 8)}; }
std::string Little32(std::uint32_t n) { return Little16(n & 0xFFFF) + Little16(n >> 16); }

std::string Png(std::uint32_t nWidth, std::uint32_t nHeight, const std::string& chunk = "IHDR")
{
    return std::string("\x89PNG\r\n\x1a\n", 8) + Big32(13) + chunk + Big32(nWidth) + Big32(nHeight) +
           std::string("\x08\x06\0\0\0", 5) + "crc!" + "IDAT...";
}

std::string Bmp(std::uint32_t nHeaderSize, std::int32_t nWidth, std::int32_t nHeight)
{
    std::string bytes = "BM" + Little32(0) + Little32(0) + Little32(14 + nHeaderSize) + Little32(nHeaderSize);
    if (nHeaderSize == 12)
        return bytes + Little16(static_cast<unsigned>(nWidth)) + Little16(static_cast<unsigned>(nHeight)) +
               Little16(1) + Little16(24);
    return bytes + Little32(static_cast<std::uint32_t>(nWidth)) + Little32(static_cast<std::uint32_t>(nHeight)) +
           std::string(nHeaderSize - 12, '\0');
}

std::string Segment(unsigned char marker, const std::string& payload)
{
    return std::string{'\xFF', static_cast<char>(marker)} + Big16(static_cast<unsigned>(payload.size() + 2)) + payload;
}

std::string Frame(unsigned char marker, unsigned nWidth, unsigned nHeight)
{
    return Segment(marker, "\x08" + Big16(nHeight) + Big16(nWidth) + std::string("\x03\x01\x22\0\x02\x11\x01\x03\x11\x01", 10));
}

const std::string kSoi("\xFF\xD8", 2);
const std::string kApp0 = Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
const std::string kScan = Segment(0xDA, std::string(10, '\0')) + "entropy-coded data";

std::string Gif(unsigned nScreenWidth, unsigned nScreenHeight, const std::string& beforeImage, unsigned nLeft,
                unsigned nTop, unsigned nWidth, unsigned nHeight)
{
    // With a global colour table of four entries.
    return "GIF89a" + Little16(nScreenWidth) + Little16(nScreenHeight) + "\x81" + std::string(2, '\0') +
           std::string(12, '\x7F') + beforeImage + "\x2C" + Little16(nLeft) + Little16(nTop) + Little16(nWidth) +
           Little16(nHeight) + std::string("\0\x02\x02\x44\x01\0\x3B", 7);
}

const std::string kGraphicControl("\x21\xF9\x04\x04\x0A\0\0\0", 8);
const std::string kLoop = std::string("\x21\xFF\x0BNETSCAPE2.0\x03\x01\0\0\0", 19);

struct CTiffEntry {
    unsigned nTag, nType;
    std::uint32_t nCount, nValue;
};

// A TIFF whose directory follows nDataBytes of image data, as many writers place it.
std::string Tiff(bool bLittle, const std::vector<CTiffEntry>& entries, std::size_t nDataBytes = 0)
{
    const auto u16 = [bLittle](unsigned n) { return bLittle ? Little16(n) : Big16(n); };
    const auto u32 = [bLittle](std::uint32_t n) { return bLittle ? Little32(n) : Big32(n); };
    std::string bytes = std::string(bLittle ? "II*\0" : "MM\0*", 4) + u32(static_cast<std::uint32_t>(8 + nDataBytes)) +
                        std::string(nDataBytes, '\x55') + u16(static_cast<unsigned>(entries.size()));
    for (const CTiffEntry& e : entries) {
        const std::string value = e.nType == 3 ? u16(e.nValue) + u16(0) : u32(e.nValue);
        bytes += u16(e.nTag) + u16(e.nType) + u32(e.nCount) + value;
    }
    return bytes + u32(0);
}

}  // namespace

TEST(ImageHeader, PngStatesItsSizeInTheFirstChunk)
{
    EXPECT_EQ(SizeOf(Png(3840, 2160)), "3840x2160");
    EXPECT_EQ(SizeOf(Png(1, 1)), "1x1");
    EXPECT_EQ(SizeOf(Png(0x7FFFFFFF, 2)), "2147483647x2");
    EXPECT_EQ(SizeOf(Png(0x80000000u, 2)), "none") << "beyond an int";
    EXPECT_EQ(SizeOf(Png(0, 2160)), "none");
    EXPECT_EQ(SizeOf(Png(3840, 2160, "CgBI")), "none") << "IHDR must come first";
    EXPECT_EQ(SizeOf(Png(3840, 2160).substr(0, 23)), "none") << "cut inside the height";
    std::string badSignature = Png(640, 480);
    badSignature[4] = '\n';
    EXPECT_EQ(SizeOf(badSignature), "none");
}

TEST(ImageHeader, BmpInfoAndCoreHeadersAndRowsStoredTopDown)
{
    EXPECT_EQ(SizeOf(Bmp(40, 640, 480)), "640x480");
    EXPECT_EQ(SizeOf(Bmp(40, 640, -480)), "640x480") << "top-down rows";
    EXPECT_EQ(SizeOf(Bmp(124, 3840, 2160)), "3840x2160");
    EXPECT_EQ(SizeOf(Bmp(108, 7, 9)), "7x9");
    EXPECT_EQ(SizeOf(Bmp(12, 65535, 300)), "65535x300") << "the core header's sizes are unsigned";
    EXPECT_EQ(SizeOf(Bmp(40, -640, 480)), "none");
    EXPECT_EQ(SizeOf(Bmp(40, 640, 0)), "none");
    EXPECT_EQ(SizeOf(Bmp(40, 640, INT_MIN)), "none") << "no size beyond an int, however the sign falls";
    EXPECT_EQ(SizeOf(Bmp(64, 640, 480)), "none") << "a header the system does not read";
    EXPECT_EQ(SizeOf(Bmp(40, 640, 480).substr(0, 25)), "none");
}

TEST(ImageHeader, JpegFrameHeaderFoundPastOtherSegments)
{
    EXPECT_EQ(SizeOf(kSoi + kApp0 + Frame(0xC0, 3840, 2160) + kScan), "3840x2160");
    EXPECT_EQ(SizeOf(kSoi + kApp0 + Frame(0xC2, 800, 600) + kScan), "800x600") << "progressive";
    // A thumbnail in the metadata beyond the first read, tables, fill bytes
    // and a restart marker before the frame header.
    const std::string exif = Segment(0xE1, "Exif" + std::string(60000, '\x11'));
    const std::string tables = Segment(0xDB, std::string(65, '\x01')) + Segment(0xC4, std::string(30, '\x02'));
    CFile file{kSoi + exif + tables + "\xFF\xFF\xFF" + "\xFF\xD0" + Frame(0xC1, 1920, 1080) + kScan};
    const auto size = file.Size();
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->m_nWidth, 1920);
    EXPECT_EQ(size->m_nHeight, 1080);
    EXPECT_LE(file.nReads, 3) << "segments are skipped, not read";

    EXPECT_EQ(SizeOf(kSoi + Segment(0xC4, std::string(30, '\x02')) + kScan), "none") << "DHT is no frame header";
    EXPECT_EQ(SizeOf(kSoi + kApp0 + kScan + Frame(0xC0, 640, 480)), "none") << "the scan before any frame";
    EXPECT_EQ(SizeOf(kSoi + kApp0 + Frame(0xC0, 640, 0) + kScan), "none") << "the height comes later (DNL)";
    EXPECT_EQ(SizeOf(kSoi + kApp0 + "junk" + Frame(0xC0, 640, 480)), "none") << "not at a marker";
    EXPECT_EQ(SizeOf(kSoi + Segment(0xE0, "").substr(0, 3)), "none");
    EXPECT_EQ(SizeOf(kSoi + "\xFF\xE0" + Big16(1) + Frame(0xC0, 640, 480)), "none") << "a length below its own";
    EXPECT_EQ(SizeOf(kSoi + kApp0 + Frame(0xC0, 640, 480).substr(0, 8)), "none") << "cut inside the frame header";
}

TEST(ImageHeader, GifOnlyWhenTheFirstImageCoversTheScreen)
{
    EXPECT_EQ(SizeOf(Gif(640, 480, "", 0, 0, 640, 480)), "640x480");
    EXPECT_EQ(SizeOf(Gif(3840, 2160, kLoop + kGraphicControl, 0, 0, 3840, 2160)), "3840x2160")
        << "past the extensions";
    EXPECT_EQ(SizeOf(Gif(640, 480, kGraphicControl, 10, 0, 630, 480)), "none") << "decoders differ here";
    EXPECT_EQ(SizeOf(Gif(640, 480, "", 0, 0, 320, 240)), "none");
    EXPECT_EQ(SizeOf(Gif(0, 0, "", 0, 0, 0, 0)), "none");
    EXPECT_EQ(SizeOf(Gif(640, 480, "\x3B", 0, 0, 640, 480)), "none") << "the trailer before any image";
    EXPECT_EQ(SizeOf(Gif(640, 480, kLoop, 0, 0, 640, 480).substr(0, 40)), "none") << "cut in the extension";
    std::string old = Gif(16, 8, "", 0, 0, 16, 8);
    old[4] = '7';
    EXPECT_EQ(SizeOf(old), "16x8");
    old[4] = '8';
    old[5] = 'b';
    EXPECT_EQ(SizeOf(old), "none");
}

TEST(ImageHeader, TiffFirstDirectoryInEitherByteOrder)
{
    EXPECT_EQ(SizeOf(Tiff(true, {{254, 4, 1, 0}, {256, 3, 1, 3840}, {257, 3, 1, 2160}, {258, 3, 3, 100}})),
              "3840x2160");
    EXPECT_EQ(SizeOf(Tiff(false, {{256, 4, 1, 70000}, {257, 3, 1, 2}})), "70000x2");
    // The directory after the image data, far beyond the first read.
    CFile file{Tiff(true, {{256, 3, 1, 640}, {257, 4, 1, 480}}, 5u << 20)};
    const auto size = file.Size();
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->m_nWidth, 640);
    EXPECT_EQ(size->m_nHeight, 480);
    EXPECT_LE(file.nReads, 2);

    EXPECT_EQ(SizeOf(Tiff(true, {{256, 3, 1, 640}})), "none") << "no height";
    EXPECT_EQ(SizeOf(Tiff(true, {{256, 3, 2, 640}, {257, 3, 1, 480}})), "none") << "two widths";
    EXPECT_EQ(SizeOf(Tiff(true, {{256, 5, 1, 640}, {257, 3, 1, 480}})), "none") << "a rational width";
    EXPECT_EQ(SizeOf(Tiff(false, {{256, 4, 1, 0x80000000u}, {257, 3, 1, 480}})), "none");
    EXPECT_EQ(SizeOf(Tiff(true, {})), "none");
    std::string away = Tiff(true, {{256, 3, 1, 640}, {257, 3, 1, 480}});
    away.replace(4, 4, Little32(0xFFFFFFF0u));
    EXPECT_EQ(SizeOf(away), "none") << "the directory beyond the file";
}

TEST(ImageHeader, AnythingElseIsLeftToTheDecoder)
{
    EXPECT_EQ(SizeOf(""), "none");
    EXPECT_EQ(SizeOf("B"), "none");
    EXPECT_EQ(SizeOf("not an image at all"), "none");
    EXPECT_EQ(SizeOf("BA" + Bmp(40, 640, 480).substr(2)), "none") << "an OS/2 bitmap array";
    EXPECT_EQ(SizeOf(std::string("II+\0\x08\0\0\0\0\0\0\0", 12)), "none") << "BigTIFF";
}

TEST(ImageHeader, AFileWithoutEndCannotKeepTheReadingGoing)
{
    // Segment after segment, each reaching past the window the last read
    // took, for as long as anyone reads: the reading gives up, without a size.
    int nReads = 0;
    const auto endlessJpeg = [&nReads](std::uint64_t nOffset, std::size_t nBytes) {
        ++nReads;
        std::string bytes(nBytes, '\0');
        for (std::size_t i = 0; i < nBytes; ++i) {
            const std::uint64_t at = nOffset + i;
            if (at < 2) {
                bytes[i] = at == 0 ? '\xFF' : '\xD8';
                continue;
            }
            // Segments of 5002 bytes: FF E1, length 5000, payload.
            const std::uint64_t inSegment = (at - 2) % 5002;
            const char header[] = {'\xFF', '\xE1', '\x13', '\x88'};
            bytes[i] = inSegment < 4 ? header[inSegment] : '\x20';
        }
        return bytes;
    };
    EXPECT_FALSE(ImageSizeFromHeader(endlessJpeg).has_value());
    EXPECT_LE(nReads, 64);
    EXPECT_GT(nReads, 10) << "it did walk the segments";

    nReads = 0;
    const auto endlessFill = [&nReads](std::uint64_t nOffset, std::size_t nBytes) {
        ++nReads;
        std::string bytes(nBytes, '\xFF');
        if (nOffset == 0 && nBytes > 1)
            bytes[1] = '\xD8';
        return bytes;
    };
    EXPECT_FALSE(ImageSizeFromHeader(endlessFill).has_value());
    EXPECT_LE(nReads, 64);
}
