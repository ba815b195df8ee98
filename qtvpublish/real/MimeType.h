#pragma once
// The media type a blog is told for an uploaded capture, by file extension.
#include <string>

namespace qtvpublish {

// "image/png" for ".png" and so on for jpg/jpeg, gif, bmp, tif/tiff, in any
// letter case; "application/octet-stream" for anything else.
std::string MimeTypeOf(const std::string& path);
// The file-name part of a path, after the last '\\' or '/'.
std::string FileNameOf(const std::string& path);

}  // namespace qtvpublish
