#pragma once
// What the Blog Editor shows while a post is out: the bar's position and the
// status line for a step the publishing library reported, and the hand-over
// of those reports from the posting thread to the window thread.
#include <atomic>
#include <cstdint>
#include <string>

namespace publish {

// The bar runs from 0 to this.
constexpr int kProgressRange = 1000;

// The library's steps (PublishStep); 0 before the first report.
struct CProgressReading {
    int nStep = 0;
    std::uint64_t nDone = 0;
    std::uint64_t nTotal = 0;
};

// The bar: nothing before the upload, the upload's share of its bytes, full
// once the post is being created. Reports out of range are held to it.
int ProgressPosition(const CProgressReading& reading);

// "512 bytes", "340 KB", "2.4 MB": enough to see it move, never more digits.
std::string ByteCountText(std::uint64_t nBytes);

// The status line's texts, from the string table.
struct CProgressTexts {
    std::string strPosting;      // before any report, and for a step not known
    std::string strConnecting;
    std::string strUploading;    // "%1" the bytes sent, "%2" the total
    std::string strCreatingPost;
};
std::string ProgressText(const CProgressTexts& texts, const CProgressReading& reading);

// Reports come from the posting thread as often as the upload sends a piece;
// the window thread needs only the latest. Store keeps it and says whether a
// message must go to the window (none is on its way yet); Take reads it and
// lets the next Store send another. No report is lost: one stored after a
// Take is either read by that Take or announced by a message of its own.
class CProgressExchange {
public:
    bool Store(const CProgressReading& reading);
    CProgressReading Take();

private:
    std::atomic<int> m_nStep{0};
    std::atomic<std::uint64_t> m_nDone{0};
    std::atomic<std::uint64_t> m_nTotal{0};
    std::atomic<bool> m_bAnnounced{false};
};

}  // namespace publish
