#include "TestSamples.h"
#include "playback/DeviceVolume.h"
#include "playback/RingingRenderer.h"
#include "playback/audio/AudioEngine.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

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
        {0, mask({4, 2})},
        {4800, mask({0, 3})},
        {7200, mask({1})},
        {9600, mask({4})},
        {12000, mask({4})}, // the same bell struck again in the next column sounds
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
    EXPECT_EQ(result.systemError, ENOENT); // the reason the window puts in its own words
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/no such folder")));
}

// A disk that fills up during the render (here a file size limit, which
// fails the writes as a full disk does): the error says so, the earlier file
// stays and no temporary file is left.
TEST_F(OfflineRender, AFullDiskKeepsTheEarlierFile) {
    const QByteArray earlier(1000, 'x');
    QFile old(job.outputPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(earlier);
    old.close();
    job.columns = QStringList(200, QStringLiteral("b1"));
    RenderResult result;
    {
        const FileSizeLimit full(100000);
        result = renderRinging(job);
    }
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.systemError, EFBIG) << result.error.toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

// A name as long as the file system takes (255 bytes, in one- and two-byte
// characters) still renders: the temporary file beside it must fit too.
TEST_F(OfflineRender, TheLongestFileNameRenders) {
    job.columns = {QStringLiteral("s1")};
    for (const QString& name : {QString(251, u'a') + QStringLiteral(".wav"),
                                QStringLiteral("a") + QString(125, u'ж') + QStringLiteral(".wav")}) {
        ASSERT_EQ(QFile::encodeName(name).size(), 255);
        job.outputPath = dir.path() + u'/' + name;
        const RenderResult result = renderRinging(job);
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
        QFile::remove(job.outputPath);
    }
}

// Cancelling after the last column, while the bells ring out, still writes
// nothing.
TEST_F(OfflineRender, ACancelDuringTheRingOutWritesNothing) {
    job.columns = QStringList(3, QStringLiteral("b1"));
    int calls = 0;
    job.progress = [&calls](int, int total) { return ++calls <= total; };
    const RenderResult result = renderRinging(job);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(calls, 4);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(OfflineRender, ExistingOutputIsReplacedWhole) {
    QFile old(job.outputPath);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    job.columns = {QStringLiteral("b1")};
    ASSERT_TRUE(renderRinging(job).ok);
    const testsamples::Wav wav = testsamples::readWav(job.outputPath);
    EXPECT_EQ(testsamples::markedOnsets(wav, audio::kRingingBusGain),
              (std::vector<std::pair<std::size_t, int>>{{0, mask({0})}}));
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
