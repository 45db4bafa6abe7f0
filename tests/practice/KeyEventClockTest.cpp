#include "practice/KeyEventClock.h"

#include <gtest/gtest.h>

namespace {
constexpr std::int64_t kMs = 1'000'000; // ns
constexpr std::int64_t kStart = 7'000'000 * kMs;
} // namespace

TEST(KeyEventClock, FrameClockBetweenBlocks) {
    // 48 kHz in blocks of 480 frames (10 ms): readings lag up to a block;
    // the estimate follows the reading taken just after a block.
    KeyEventClock clock(48000);
    clock.observe(kStart + 3 * kMs, 0);    // 3 ms after block 0 was published
    clock.observe(kStart + 10 * kMs, 480); // just as block 1 is published
    clock.observe(kStart + 17 * kMs, 480); // late in block 1
    EXPECT_EQ(clock.frameAt(kStart + 17 * kMs), 480 + 7 * 48);
    EXPECT_EQ(clock.frameAt(kStart + 5 * kMs), 480 - 5 * 48); // carried back from the best reading
}

TEST(KeyEventClock, MomentOfAMillisecond) {
    // The middle of the millisecond, but never later than the moment of handling.
    EXPECT_EQ(KeyEventClock::momentOfMilliseconds(480, 500 * kMs), 480 * kMs + kMs / 2);
    EXPECT_EQ(KeyEventClock::momentOfMilliseconds(500, 500 * kMs + 100), 500 * kMs + 100);
}
