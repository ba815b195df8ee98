#include "qtvpublish/real/MimeType.h"

#include <cctype>

namespace qtvpublish {

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string MimeTypeOf(const std::string& path)
{
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "png")
        return "image/png";
    if (ext == "jpg" || ext == "jpeg")
        return "image/jpeg";
    if (ext == "gif")
        return "image/gif";
    if (ext == "bmp")
        return "image/bmp";
    if (ext == "tif" || ext == "tiff")
        return "image/tiff";
    return "application/octet-stream";
}

}  // namespace qtvpublish
