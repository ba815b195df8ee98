// The capture's size as "&Post" reads it: every format the host saves is
// read from its header, and agrees with what GDI+ decodes; anything else is
// left to GDI+.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <optional>
#include <string>

#include "host/HostObjects.h"
#include "notify/GdiplusSession.h"
#include "platform/Text.h"
#include "publish/ImageFileSize.h"
#include "support/TestAccessory.h"

namespace {

std::string Little16(unsigned n) { return {static_cast<char>(n), static_cast<char>(n >> 8)}; }
std::string Little32(std::uint32_t n) { return Little16(n & 0xFFFF) + Little16(n >> 16); }

// A 24-bit bitmap with a colour ramp, so each encoder has something to keep.
std::string Bitmap(int nWidth, int nHeight)
{
    const std::uint32_t nRow = static_cast<std::uint32_t>(nWidth * 3 + 3) & ~3u;
    std::string pixels;
    for (int y = 0; y < nHeight; ++y) {
        std::string row(nRow, '\0');
        for (int x = 0; x < nWidth; ++x) {
            row[static_cast<std::size_t>(x) * 3] = static_cast<char>(x * 7);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(y * 11);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((x + y) * 5);
        }
        pixels += row;
    }
    return "BM" + Little32(static_cast<std::uint32_t>(54 + pixels.size())) + Little32(0) + Little32(54) + Little32(40) +
           Little32(static_cast<std::uint32_t>(nWidth)) + Little32(static_cast<std::uint32_t>(nHeight)) + Little16(1) +
           Little16(24) + Little32(0) + Little32(static_cast<std::uint32_t>(pixels.size())) + Little32(2835) +
           Little32(2835) + Little32(0) + Little32(0) + pixels;
}

// A GIF whose first image is nWidth x nHeight at (nLeft, nTop) of its screen.
// Wine's GIF encoder writes no image data, so the test writes its own: LZW
// with a clear code often enough that every code stays 8 bits, one a byte.
std::string Gif(int nScreenWidth, int nScreenHeight, int nLeft, int nTop, int nWidth, int nHeight)
{
    std::string codes;
    for (int i = 0; i < nWidth * nHeight; ++i) {
        if (i % 100 == 0)
            codes += '\x80';  // clear
        codes += static_cast<char>(i % 128);
    }
    codes += '\x81';  // end
    std::string data = "\x07";  // minimum code size: 128 colours
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::string block = codes.substr(at, 255);
        data += static_cast<char>(block.size()) + block;
    }
    data += '\0';
    std::string palette;
    for (int i = 0; i < 128; ++i)
        palette += std::string{static_cast<char>(i * 2), static_cast<char>(255 - i), static_cast<char>(i)};
    return "GIF89a" + Little16(static_cast<unsigned>(nScreenWidth)) + Little16(static_cast<unsigned>(nScreenHeight)) +
           "\x86" + std::string(2, '\0') + palette + "\x2C" + Little16(static_cast<unsigned>(nLeft)) +
           Little16(static_cast<unsigned>(nTop)) + Little16(static_cast<unsigned>(nWidth)) +
           Little16(static_cast<unsigned>(nHeight)) + std::string(1, '\0') + data + "\x3B";
}

std::string Text(const std::optional<publish::CImageSize>& size)
{
    return size ? std::to_string(size->m_nWidth) + "x" + std::to_string(size->m_nHeight) : "none";
}

std::string Decoded(const std::string& path)
{
    notify::CGdiplusSession gdiplus;
    Gdiplus::Bitmap image(platform::WideFromAnsi(path).c_str());
    if (!gdiplus.IsStarted() || image.GetLastStatus() != Gdiplus::Ok)
        return "none";
    return std::to_string(image.GetWidth()) + "x" + std::to_string(image.GetHeight());
}

}  // namespace

TEST(ImageFileSize, EachFormatTheHostSavesIsReadFromItsHeaderAsGdiplusDecodesIt)
{
    testing_support::CTestFolder folder("size");
    // GIF is written below: Wine's encoder leaves the image data out.
    const std::pair<long, const char*> formats[] = {{0, "bmp"}, {2, "tif"}, {3, "jpg"}, {5, "png"}};
    for (const auto& [nWidth, nHeight] : {std::pair<int, int>{37, 23}, {1, 300}, {640, 1}}) {
        const std::string source = folder.Path() + "source.bmp";
        ASSERT_TRUE(testing_support::WriteFileBytes(source, Bitmap(nWidth, nHeight)));
        const std::string expected = std::to_string(nWidth) + "x" + std::to_string(nHeight);
        for (const auto& [nFormat, extension] : formats) {
            const std::string path = folder.Path() + "capture." + extension;
            ASSERT_TRUE(host::SaveImageAs(platform::WideFromAnsi(source), platform::WideFromAnsi(path), nFormat))
                << extension;
            EXPECT_EQ(Decoded(path), expected) << extension;
            EXPECT_EQ(Text(publish::ReadImageHeaderSize(path)), expected) << extension << ": from the header";
            EXPECT_EQ(Text(publish::ReadImageFileSize(path)), expected) << extension;
        }
        const std::string gif = folder.Path() + "capture.gif";
        ASSERT_TRUE(testing_support::WriteFileBytes(gif, Gif(nWidth, nHeight, 0, 0, nWidth, nHeight)));
        EXPECT_EQ(Decoded(gif), expected) << "gif";
        EXPECT_EQ(Text(publish::ReadImageHeaderSize(gif)), expected) << "gif: from the header";
    }
}

TEST(ImageFileSize, WhatTheHeaderDoesNotStateIsLeftToGdiplus)
{
    testing_support::CTestFolder folder("size");
    // An icon: no header the reading knows, but an image GDI+ decodes.
    const std::string icon = testing_support::BuiltAccessoryFolder() + "WordPress.ico";
    ASSERT_NE(Decoded(icon), "none");
    EXPECT_EQ(Text(publish::ReadImageHeaderSize(icon)), "none");
    EXPECT_EQ(Text(publish::ReadImageFileSize(icon)), Decoded(icon));

    const std::string text = folder.Path() + "notes.png";
    ASSERT_TRUE(testing_support::WriteFileBytes(text, "not an image at all"));
    EXPECT_EQ(Text(publish::ReadImageFileSize(text)), "none");
    EXPECT_EQ(Text(publish::ReadImageFileSize(folder.Path() + "missing.png")), "none");
    // A capture with a frame smaller than its screen, which decoders size differently.
    const std::string gif = folder.Path() + "offset.gif";
    ASSERT_TRUE(testing_support::WriteFileBytes(gif, Gif(40, 30, 5, 0, 20, 30)));
    ASSERT_NE(Decoded(gif), "none");
    EXPECT_EQ(Text(publish::ReadImageHeaderSize(gif)), "none");
    EXPECT_EQ(Text(publish::ReadImageFileSize(gif)), Decoded(gif));
}
