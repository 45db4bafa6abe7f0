// The checks made before a render starts: the stated longest output, the
// 4 GiB a WAV file can hold and the free space of the disk.

#include "playback/RenderLimits.h"
#include "playback/RenderCommand.h"

#include <gtest/gtest.h>

namespace {

using Format = audio::OfflineRenderer::Format;

RenderJob jobOf(int columns, int intervalMs, Format format) {
    RenderJob job;
    job.columns = QStringList(columns, QStringLiteral("s1"));
    job.intervalMs = intervalMs;
    job.format = format;
    return job;
}

TEST(RenderLimits, LengthFormatAndSpace) {
    constexpr std::int64_t kGiB = std::int64_t{1} << 30;
    struct Case {
        int columns, intervalMs;
        Format format;
        int maxMinutes;
        std::optional<std::int64_t> freeBytes;
        RenderLimit expected;
    };
    const Case cases[] = {
        // Exactly four hours is allowed; one column more is not.
        {14400, 1000, Format::Pcm16, 240, std::nullopt, RenderLimit::Fits},
        {14401, 1000, Format::Pcm16, 240, std::nullopt, RenderLimit::TooLong},
        // 190,000 columns at 144 ms: 7.6 hours, refused unless raised, and
        // then still over what a WAV file holds (5.3 GB).
        {190000, 144, Format::Pcm16, 240, std::nullopt, RenderLimit::TooLong},
        {190000, 144, Format::Pcm16, 600, std::nullopt, RenderLimit::TooLargeForWav},
        // FLAC has no such limit.
        {190000, 144, Format::Flac16, 600, std::nullopt, RenderLimit::Fits},
        // Float samples pass 4 GiB within the four hours (3.5 h = 4.8 GB).
        {12600, 1000, Format::Float32, 240, std::nullopt, RenderLimit::TooLargeForWav},
        {12600, 1000, Format::Pcm16, 240, 3 * kGiB, RenderLimit::Fits},
        // The space: 1 hour of 16-bit stereo needs about 0.7 GB.
        {3600, 1000, Format::Pcm16, 240, kGiB / 2, RenderLimit::NoSpace},
        {3600, 1000, Format::Pcm16, 240, kGiB, RenderLimit::Fits},
        {3600, 1000, Format::Pcm16, 240, 0, RenderLimit::NoSpace},
    };
    for (const Case& c : cases) {
        const RenderCheck check =
            checkRenderLimits(jobOf(c.columns, c.intervalMs, c.format), c.maxMinutes, c.freeBytes);
        EXPECT_EQ(check.limit, c.expected)
            << c.columns << " x " << c.intervalMs << " ms, max " << c.maxMinutes;
    }
}

// The refusal names the limit the user can act on.
TEST(RenderLimits, TextsNameTheLimit) {
    const RenderCheck noSpace = checkRenderLimits(jobOf(3600, 1000, Format::Pcm16), 240, 5000000);
    EXPECT_TRUE(renderLimitText(noSpace, 240).contains(QStringLiteral("5 MB free")))
        << renderLimitText(noSpace, 240).toStdString();
    EXPECT_EQ(renderLengthText(59.6), QStringLiteral("0:01:00"));
}

} // namespace
