#include "TestSamples.h"
#include "playback/audio/AudioEngine.h"
#include "playback/DeviceVolume.h"
#include "playback/RingingRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class OfflineRender : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        job.sampleFolder = dir.path() + QStringLiteral("/Sound/Model1/Stereo/");
        ASSERT_TRUE(testsamples::writeMarkedBells(job.sampleFolder, 3000));
        for (int bell = 0; bell < kBellCount; ++bell) {
            job.sampleFiles[static_cast<std::size_t>(bell)] = testsamples::bellFileName(bell);
        }
        // Bells 0 and 1 big, 2 middle, 3 and 4 small.
        job.ensemble.applyText(QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"));
        job.format = audio::OfflineRenderer::Format::Float32;
        job.outputPath = dir.path() + QStringLiteral("/out put.wav");
    }

    QTemporaryDir dir;
    RenderJob job;
};

int mask(std::initializer_list<int> bells) {
    int bits = 0;
    for (int bell : bells) {
        bits |= 1 << bell;
    }
    return bits;
}

TEST_F(OfflineRender, OnsetsOnTheExactFramesWithTheRightBells) {
    job.intervalMs = 50;
    job.columns = {QStringLiteral("s1,m1"),    QString(),
                   QStringLiteral("b1,s2"),    QStringLiteral("b2"),
                   QStringLiteral("s1"),       QStringLiteral("s1"),
                   QStringLiteral("#1,v2,x3"), QStringLiteral("m1,b1,s2")};
    const RenderResult result = renderRinging(job);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.late, 0u);
    const testsamples::Wav wav = testsamples::readWav(job.outputPath);
    ASSERT_EQ(wav.channels, 2);
    ASSERT_EQ(wav.rate, 48000);
    // Column c at c x 50 ms = c x 2400 frames; s1 = bell 4, s2 = 3, m1 = 2, b1 = 0, b2 = 1.
    const std::vector<std::pair<std::size_t, int>> expected = {
        {0, mask({4, 2})},        {4800, mask({0, 3})}, {7200, mask({1})},
        {9600, mask({4})},        {12000, mask({4})}, // the same bell struck again in the next column sounds
                                                      // again
        {16800, mask({2, 0, 3})},
    };
    EXPECT_EQ(testsamples::markedOnsets(wav, audio::kRingingBusGain), expected);
    // The last strike rings out whole: the file holds its 3000 frames.
    EXPECT_GE(wav.frames(), 16800u + 3000u);
    EXPECT_LT(wav.frames(), 16800u + 3000u + 512u);
}

TEST_F(OfflineRender, UnwritableOutputFailsAndLeavesNothing) {
    job.columns = {QStringLiteral("s1")};
    job.outputPath = dir.path() + QStringLiteral("/no such folder/out.wav");
    const RenderResult result = renderRinging(job);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("no such folder")));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/no such folder")));
}

TEST_F(OfflineRender, ExistingOutputIsReplacedWhole) {
    QFile old(job.outputPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    job.columns = {QStringLiteral("b1")};
    ASSERT_TRUE(renderRinging(job).ok);
    const testsamples::Wav wav = testsamples::readWav(job.outputPath);
    EXPECT_EQ(testsamples::markedOnsets(wav, audio::kRingingBusGain), (std::vector<std::pair<std::size_t, int>>{{0, mask({0})}}));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(DeviceVolume, LevelAndChannelValues) {
    struct Case {
        std::uint16_t left, right;
        int level;
    };
    const Case cases[] = {
        {65535, 65535, 255},                      // full volume reads as the top of the scale
        {0, 0, 0},           {65280, 65280, 255}, // what setting 255 writes reads back as 255
        {256, 256, 1},       {65535, 0, 127},     // the level is the mean of the channels
        {255, 256, 0},                            // integer part, not rounded
    };
    for (const Case& c : cases) {
        EXPECT_EQ(deviceLevelFromVolumes(c.left, c.right), c.level) << c.left << " " << c.right;
    }
    for (int level = 0; level <= 255; ++level) {
        const std::uint16_t channel = channelVolumeForLevel(level);
        EXPECT_EQ(channel, level * 256);
        EXPECT_EQ(deviceLevelFromVolumes(channel, channel), level); // set then get gives the level back
    }
    EXPECT_EQ(channelVolumeForLevel(300), 255 * 256);
    EXPECT_EQ(channelVolumeForLevel(-5), 0);
}

} // namespace
