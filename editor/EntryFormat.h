#pragma once
// The entry's formatting values, free of the platform: the text sizes of the
// size box, the character effects and the paragraph alignments the editor
// writes and the converter understands.
#include <cstdint>

namespace editor {

// Character effect bits of the rich edit control's character format.
constexpr std::uint32_t kEffectBold = 0x1;
constexpr std::uint32_t kEffectItalic = 0x2;
constexpr std::uint32_t kEffectUnderline = 0x4;
constexpr std::uint32_t kEffectLink = 0x20;
constexpr std::uint32_t kEffectShadow = 0x400;

// Paragraph alignment values.
constexpr int kAlignLeft = 1;
constexpr int kAlignRight = 2;
constexpr int kAlignCenter = 3;

// Entries of the size box, smallest first.
constexpr int kTextSizeCount = 7;
// The size box's entry at opening: "x-small", the 200-twip height.
constexpr int kDefaultTextSize = 1;
constexpr int kDefaultHeightTwips = 200;

// Height in twips of a size box entry; the default height for no entry.
int HeightOfTextSize(int nEntry);
// The size box entry of a height, or -1 for a height the box does not offer.
int TextSizeOfHeight(long nHeightTwips);

// What the alignment buttons show for a paragraph's alignment value.
enum class AlignButtons { Left, Center, Right, Unchanged };
AlignButtons ButtonsForAlignment(int nAlignment);

}  // namespace editor
