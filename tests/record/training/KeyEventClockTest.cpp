#include "record/training/KeyEventClock.h"

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

TEST(KeyEventClock, EventStampsOnEitherClock) {
    KeyEventClock clock(48000);
    const std::int64_t now = kStart + 500 * kMs;
    struct Case {
        const char* what;
        std::uint64_t stamp;
        std::int64_t moment;
    };
    const Case cases[] = {
        // On the monotonic clock: the middle of the stamped millisecond.
        {"same clock", static_cast<std::uint64_t>((kStart + 480 * kMs) / kMs), kStart + 480 * kMs + kMs / 2},
        // Stamped in the present millisecond: never later than now.
        {"same millisecond", static_cast<std::uint64_t>(now / kMs), now},
        // No stamp: the moment of handling.
        {"no stamp", 0, now},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clock.eventMoment(c.stamp, now), c.moment) << c.what;
    }
    // A foreign clock (far from the monotonic one): the lag beyond the
    // fastest delivery seen is what counts.
    const std::uint64_t foreign = 42'000;
    EXPECT_EQ(clock.eventMoment(foreign, now), now); // first one: fastest so far
    EXPECT_EQ(clock.eventMoment(foreign + 100, now + 112 * kMs), now + 100 * kMs); // 12 ms slower
}
