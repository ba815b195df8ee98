#include "publish/ImageFileSize.h"

#include <windows.h>
#include <gdiplus.h>

#include "notify/GdiplusSession.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"
#include "publish/ImageHeader.h"

namespace publish {

namespace {

std::optional<CImageSize> HeaderSize(const std::wstring& path)
{
    const platform::CFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    return ImageSizeFromHeader([&file](std::uint64_t nOffset, std::size_t nBytes) {
        std::string bytes(nBytes, '\0');
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(nOffset);
        at.OffsetHigh = static_cast<DWORD>(nOffset >> 32);
        DWORD nRead = 0;
        // Past the end the read fails or reads nothing: either way no bytes.
        if (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(nBytes), &nRead, &at))
            nRead = 0;
        bytes.resize(nRead);
        return bytes;
    });
}

std::optional<CImageSize> DecodedSize(const std::wstring& path)
{
    notify::CGdiplusSession gdiplus;
    if (!gdiplus.IsStarted())
        return std::nullopt;
    Gdiplus::Bitmap image(path.c_str());
    if (image.GetLastStatus() != Gdiplus::Ok)
        return std::nullopt;
    return CImageSize{static_cast<int>(image.GetWidth()), static_cast<int>(image.GetHeight())};
}

}  // namespace

std::optional<CImageSize> ReadImageHeaderSize(const std::string& path)
{
    return HeaderSize(platform::WideFromAnsi(path));
}

std::optional<CImageSize> ReadImageFileSize(const std::string& path)
{
    const std::wstring widePath = platform::WideFromAnsi(path);
    if (const auto size = HeaderSize(widePath))
        return size;
    return DecodedSize(widePath);
}

}  // namespace publish
