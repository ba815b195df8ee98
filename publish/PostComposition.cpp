#include "publish/PostComposition.h"

#include "rtf2html/RtfConverter.h"

namespace publish {

std::string TrimFinalParagraph(const std::string& rtf)
{
    const std::size_t pos = rtf.rfind("\\par");
    if (pos == std::string::npos || pos == 0)
        return "\n}";
    return rtf.substr(0, pos) + "\n}";
}

std::string ConvertEntry(const std::string& trimmedRtf, rtf2html::ICodePages* codePages)
{
    return CRtfConverter(codePages).Convert(trimmedRtf, "\\pard", true);
}

CImageSize ScaleToPostWidth(int nWidth, int nHeight)
{
    constexpr int kPostWidth = 320;
    if (nWidth <= kPostWidth || nHeight <= 0)
        return {nWidth, nHeight};
    // The ratio in single precision on purpose: 640 x 480 gives 1.3333334,
    // so the height comes out just below 240 and is truncated to 239.
    const float ratio = static_cast<float>(nWidth) / static_cast<float>(nHeight);
    return {kPostWidth, static_cast<int>(kPostWidth / static_cast<double>(ratio))};
}

std::string ImageSizeAttributes(const std::optional<CImageSize>& size)
{
    if (!size)
        return {};
    return "height=\"" + std::to_string(size->m_nHeight) + "\" width=\"" + std::to_string(size->m_nWidth) + "\"";
}

std::string ImageAltText(const std::string& encodedTitle, const std::string& fallback)
{
    const bool blank = encodedTitle.find_first_not_of(" \t") == std::string::npos;
    std::string alt;
    for (char c : blank ? fallback : encodedTitle) {
        if (c == '"')
            alt += "&quot;";
        else if (c == '%')
            alt += "&#37;";
        else
            alt += c;
    }
    return alt;
}

std::string ImageBlock(ImagePlacement placement, const std::string& sizeAttributes, const std::string& altText)
{
    const std::string image = "<img src = \"%s\" alt=\"" + altText + "\" ";
    switch (placement) {
    case ImagePlacement::Right:
        return "<a href=\"%s\">" + image + "align = \"right\" " + sizeAttributes + " hspace = \"20\" /></a>";
    case ImagePlacement::Top:
    case ImagePlacement::Bottom:
        return "<p align = \"center\"><a href=\"%s\">" + image + sizeAttributes + " hspace=\"6\" /></a></p>";
    case ImagePlacement::Left:
    default:
        return "<a href=\"%s\">" + image + "align = \"left\" " + sizeAttributes + " hspace = \"20\" /></a>";
    }
}

std::string ComposeBody(const std::string& entryHtml, ImagePlacement placement, const std::string& sizeAttributes,
                        const std::string& altText)
{
    const std::string block = ImageBlock(placement, sizeAttributes, altText);
    return placement == ImagePlacement::Bottom ? entryHtml + block : block + entryHtml;
}

std::string EncodeTitle(const std::u16string& title, const EncodeCharacter& encode)
{
    std::string out;
    for (std::size_t i = 0; i < title.size(); ++i) {
        char32_t c = title[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < title.size() && title[i + 1] >= 0xDC00 && title[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (title[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c == '&') {
            out += "&amp;";
            continue;
        }
        if (c == '<' || c == '>') {
            out += c == '<' ? "&lt;" : "&gt;";
            continue;
        }
        const std::optional<std::string> bytes = c < 0x10000 ? encode(c) : std::nullopt;
        if (bytes)
            out += *bytes;
        else
            out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
    }
    return out;
}

std::string DebugDumpQuestion(const std::string& folder)
{
    return "RTF/HTML outputted to " + folder + " Continue to send to blog?";
}

}  // namespace publish
