#include "publish/PostProgress.h"

#include <algorithm>
#include <cstdio>

namespace publish {

namespace {

constexpr int kStepUploading = 2;
constexpr int kStepCreatingPost = 3;

std::string ReplaceAll(std::string text, const std::string& marker, const std::string& value)
{
    for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + value.size()))
        text.replace(at, marker.size(), value);
    return text;
}

}  // namespace

int ProgressPosition(const CProgressReading& reading)
{
    if (reading.nStep == kStepCreatingPost)
        return kProgressRange;
    if (reading.nStep != kStepUploading || reading.nTotal == 0)
        return 0;
    const std::uint64_t done = std::min(reading.nDone, reading.nTotal);
    // In long double: done * range could overflow 64 bits for absurd totals.
    return static_cast<int>(static_cast<long double>(done) * kProgressRange / static_cast<long double>(reading.nTotal));
}

std::string ByteCountText(std::uint64_t nBytes)
{
    char text[32];
    if (nBytes < 1024)
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(nBytes));
    else if (nBytes < 1024 * 1024)
        std::snprintf(text, sizeof text, "%llu KB", static_cast<unsigned long long>(nBytes / 1024));
    else
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(nBytes) / (1024.0 * 1024.0));
    return text;
}

std::string ProgressText(const CProgressTexts& texts, const CProgressReading& reading)
{
    switch (reading.nStep) {
    case 1:
        return texts.strConnecting;
    case kStepUploading:
        if (reading.nTotal == 0)
            return ReplaceAll(ReplaceAll(texts.strUploading, "%1", ByteCountText(0)), "%2", "?");
        return ReplaceAll(ReplaceAll(texts.strUploading, "%1", ByteCountText(std::min(reading.nDone, reading.nTotal))),
                          "%2", ByteCountText(reading.nTotal));
    case kStepCreatingPost:
        return texts.strCreatingPost;
    default:
        return texts.strPosting;
    }
}

bool CProgressExchange::Store(const CProgressReading& reading)
{
    m_nDone.store(reading.nDone);
    m_nTotal.store(reading.nTotal);
    m_nStep.store(reading.nStep);
    return !m_bAnnounced.exchange(true);
}

CProgressReading CProgressExchange::Take()
{
    // Cleared first: a Store after this point announces itself again.
    m_bAnnounced.store(false);
    CProgressReading reading;
    reading.nStep = m_nStep.load();
    reading.nDone = m_nDone.load();
    reading.nTotal = m_nTotal.load();
    return reading;
}

}  // namespace publish
