#include "util/DpiRules.h"

#include <cstdint>

namespace util {

namespace {

// Per cent of the base size at which every icon is drawn.
constexpr int kIconPercent[kIconScaleCount] = {100, 125, 150, 200};

bool IsDisplayDpi(int dpi) { return dpi > 0; }

}  // namespace

int ScaleForDpi(int value, int dpi)
{
    if (!IsDisplayDpi(dpi))
        return value;
    // 64 bits: a large figure at a large DPI must not overflow.
    const std::int64_t product = static_cast<std::int64_t>(value) * dpi;
    const std::int64_t half = kBaseDpi / 2;
    const std::int64_t scaled = product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
    return static_cast<int>(scaled);
}

double ScaleForDpi(double value, int dpi)
{
    return IsDisplayDpi(dpi) ? value * dpi / kBaseDpi : value;
}

int IconSizeAt(int baseSize, int scaleIndex)
{
    if (scaleIndex < 0)
        scaleIndex = 0;
    if (scaleIndex >= kIconScaleCount)
        scaleIndex = kIconScaleCount - 1;
    return baseSize * kIconPercent[scaleIndex] / 100;
}

int IconSizeForDpi(int baseSize, int dpi)
{
    const int wanted = ScaleForDpi(baseSize, dpi);
    int size = baseSize;
    for (int i = 0; i < kIconScaleCount; ++i)
        if (IconSizeAt(baseSize, i) <= wanted)
            size = IconSizeAt(baseSize, i);
    return size;
}

}  // namespace util
