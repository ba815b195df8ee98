#include "editor/EntryFormat.h"

namespace editor {

namespace {
// Half-point sizes 17, 20, 24, 28, 36, 48, 72: the converter's seven font sizes.
constexpr int kHeights[kTextSizeCount] = {170, 200, 240, 280, 360, 480, 720};
}  // namespace

int HeightOfTextSize(int nEntry)
{
    return nEntry >= 0 && nEntry < kTextSizeCount ? kHeights[nEntry] : kDefaultHeightTwips;
}

int TextSizeOfHeight(long nHeightTwips)
{
    for (int i = 0; i < kTextSizeCount; ++i) {
        if (kHeights[i] == nHeightTwips)
            return i;
    }
    return -1;
}

AlignButtons ButtonsForAlignment(int nAlignment)
{
    // Centre is both low bits, so it is tested first; justified (4) and
    // anything else leave the buttons alone.
    if ((nAlignment & 3) == 3)
        return AlignButtons::Center;
    if (nAlignment & 1)
        return AlignButtons::Left;
    if (nAlignment & 2)
        return AlignButtons::Right;
    return AlignButtons::Unchanged;
}

}  // namespace editor
