#pragma once
// The capture's size as "&Post" puts it in the post: read from the file's
// header where that states it, decoded with GDI+ for any other image. The
// header takes a few small reads where decoding a large capture would keep
// the window thread from its messages for tens of milliseconds.
#include <optional>
#include <string>

#include "publish/PostComposition.h"

namespace publish {

// Nothing when the file cannot be read or is no image GDI+ knows.
std::optional<CImageSize> ReadImageFileSize(const std::string& path);
// The header's answer alone, without the decoder behind it.
std::optional<CImageSize> ReadImageHeaderSize(const std::string& path);

}  // namespace publish
