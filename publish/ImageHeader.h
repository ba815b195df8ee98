#pragma once
// The capture's size in pixels read from its file's header, the few bytes
// at its start that state it, instead of decoding the whole image: a
// 3840 x 2160 screen capture takes a decoder tens of milliseconds on the
// window thread, the header a few small reads. Only a size the header
// states without doubt is given; for anything else the caller asks a
// decoder as before, so the two never disagree on an image both can read.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "publish/PostComposition.h"

namespace publish {

// Up to nBytes of the file from nOffset; fewer at its end, none past it.
using ReadImageBytes = std::function<std::string(std::uint64_t nOffset, std::size_t nBytes)>;

// The size stated by a PNG (IHDR), BMP (core and info headers, top-down
// rows as well), JPEG (the first frame header), GIF (a first image that
// covers the whole screen) or TIFF (the first directory) header. Nothing
// for other formats, for a header cut short or out of shape, for a size
// that is not positive or does not fit an int, and for files whose header
// would take more than a bounded number of reads to find.
std::optional<CImageSize> ImageSizeFromHeader(const ReadImageBytes& read);

}  // namespace publish
