// What the Blog Editor shows while a post is out, and the hand-over of the
// library's reports from the posting thread to the window thread.
#include <gtest/gtest.h>

#include <thread>

#include "publish/PostProgress.h"

using publish::CProgressExchange;
using publish::CProgressReading;
using publish::kProgressRange;

namespace {

const publish::CProgressTexts kTexts{"Posting", "Connecting", "Uploading %1 of %2", "Creating"};

}  // namespace

TEST(PostProgress, BarFollowsTheUploadAndStaysInRange)
{
    EXPECT_EQ(publish::ProgressPosition({0, 0, 0}), 0) << "before any report";
    EXPECT_EQ(publish::ProgressPosition({1, 0, 0}), 0) << "connecting";
    EXPECT_EQ(publish::ProgressPosition({2, 0, 0}), 0) << "upload of unknown size";
    EXPECT_EQ(publish::ProgressPosition({2, 1, 4}), kProgressRange / 4);
    EXPECT_EQ(publish::ProgressPosition({2, 4, 4}), kProgressRange);
    EXPECT_EQ(publish::ProgressPosition({2, 9, 4}), kProgressRange) << "more than the total is held to it";
    EXPECT_EQ(publish::ProgressPosition({2, 1ull << 62, 1ull << 63}), kProgressRange / 2) << "no overflow";
    EXPECT_EQ(publish::ProgressPosition({3, 0, 0}), kProgressRange) << "creating the post";
    EXPECT_EQ(publish::ProgressPosition({7, 5, 10}), 0) << "a step not known";
}

TEST(PostProgress, StatusLineForEachStep)
{
    EXPECT_EQ(publish::ProgressText(kTexts, {0, 0, 0}), "Posting");
    EXPECT_EQ(publish::ProgressText(kTexts, {1, 0, 0}), "Connecting");
    EXPECT_EQ(publish::ProgressText(kTexts, {2, 345 * 1024, 5u << 20}), "Uploading 345 KB of 5.0 MB");
    EXPECT_EQ(publish::ProgressText(kTexts, {2, 0, 0}), "Uploading 0 bytes of ?");
    EXPECT_EQ(publish::ProgressText(kTexts, {2, 900, 500}), "Uploading 500 bytes of 500 bytes");
    EXPECT_EQ(publish::ProgressText(kTexts, {3, 0, 0}), "Creating");
    EXPECT_EQ(publish::ProgressText(kTexts, {-1, 0, 0}), "Posting");
    // A translation may name the two numbers the other way round, or one twice.
    const publish::CProgressTexts turned{"", "", "%2 total, %1 sent (%1)", ""};
    EXPECT_EQ(publish::ProgressText(turned, {2, 2048, 4096}), "4 KB total, 2 KB sent (2 KB)");
}

TEST(PostProgress, ByteCounts)
{
    EXPECT_EQ(publish::ByteCountText(0), "0 bytes");
    EXPECT_EQ(publish::ByteCountText(1023), "1023 bytes");
    EXPECT_EQ(publish::ByteCountText(1024), "1 KB");
    EXPECT_EQ(publish::ByteCountText(1024 * 1024 - 1), "1023 KB");
    EXPECT_EQ(publish::ByteCountText(2516582), "2.4 MB");
}

TEST(PostProgressExchange, OneMessageForManyReportsAndTheLatestWins)
{
    CProgressExchange exchange;
    EXPECT_TRUE(exchange.Store({2, 1, 10})) << "the first report is announced";
    EXPECT_FALSE(exchange.Store({2, 2, 10})) << "while one is on its way, no other";
    EXPECT_FALSE(exchange.Store({2, 3, 10}));
    const CProgressReading read = exchange.Take();
    EXPECT_EQ(read.nStep, 2);
    EXPECT_EQ(read.nDone, 3u);
    EXPECT_EQ(read.nTotal, 10u);
    EXPECT_TRUE(exchange.Store({3, 0, 0})) << "after a take the next report is announced again";
}

TEST(PostProgressExchange, NoReportLeftUnannouncedAcrossThreads)
{
    // The window thread takes whenever a message says so; after the posting
    // thread's last report, one more take must see it.
    CProgressExchange exchange;
    std::atomic<int> nAnnounced{0};
    std::atomic<bool> bDone{false};
    std::thread worker([&] {
        for (unsigned long long i = 1; i <= 20000; ++i)
            if (exchange.Store({2, i, 20000}))
                ++nAnnounced;
        bDone = true;
    });
    int nTaken = 0;
    CProgressReading last;
    while (!bDone || nTaken < nAnnounced) {
        if (nTaken < nAnnounced) {
            last = exchange.Take();
            ++nTaken;
        } else {
            std::this_thread::yield();
        }
    }
    worker.join();
    EXPECT_EQ(last.nDone, 20000u) << "the last report reached the window";
    EXPECT_GE(nAnnounced.load(), 1);
}
