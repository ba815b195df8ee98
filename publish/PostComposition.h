#pragma once
// How a post is put together from the editor's entry, free of the platform:
// the entry's RTF cut before its closing paragraph mark, the image's size in
// the post, the image block and where it goes, and the title written so that
// any character survives the 8-bit boundary of the publishing library.
#include <functional>
#include <optional>
#include <string>

#include "rtf2html/CodePages.h"

namespace publish {

// Cuts the RTF at the last "\par" (found from position 1 on; one inside
// "\pard" counts) and closes it with "\n}". Without "\par": "\n}" alone.
std::string TrimFinalParagraph(const std::string& rtf);

// The entry's HTML from its trimmed RTF: the body converted from the first
// "\pard", its text read in the code pages of its fonts, which the header
// before it declares.
std::string ConvertEntry(const std::string& trimmedRtf, rtf2html::ICodePages* codePages);

struct CImageSize {
    int m_nWidth = 0;
    int m_nHeight = 0;
};

// Images wider than 320 pixels are shown 320 wide, the height divided by the
// single-precision ratio and truncated; narrower ones keep their size.
CImageSize ScaleToPostWidth(int nWidth, int nHeight);

// `height="H" width="W"`, or empty when the image's size is unknown.
std::string ImageSizeAttributes(const std::optional<CImageSize>& size);

enum class ImagePlacement { Left, Right, Top, Bottom };

// The image's alt text, ready for its double-quoted attribute: the title as
// EncodeTitle gives it (already escaped), or the fallback when the title is
// blank, with quotes and per-cent signs made references (the block stands
// next to "%s" placeholders).
std::string ImageAltText(const std::string& encodedTitle, const std::string& fallback);

// The image block with its two "%s" placeholders (link target, image source)
// and altText as ImageAltText gives it.
std::string ImageBlock(ImagePlacement placement, const std::string& sizeAttributes, const std::string& altText);

// The entry's HTML with the image block before it, or after it for Bottom.
std::string ComposeBody(const std::string& entryHtml, ImagePlacement placement, const std::string& sizeAttributes,
                        const std::string& altText);

// The title as 8-bit text for the blog, which reads it as HTML: "&", "<" and
// ">" escaped as the entry's text is, each other character the code page can
// hold as itself (encode returns its bytes), every other one as a decimal
// character reference. Surrogate pairs are one character; a lone half
// becomes U+FFFD.
using EncodeCharacter = std::function<std::optional<std::string>(char32_t)>;
std::string EncodeTitle(const std::u16string& title, const EncodeCharacter& encode);

// The question asked before a post whose RTF and HTML were dumped.
std::string DebugDumpQuestion(const std::string& folder);

}  // namespace publish
