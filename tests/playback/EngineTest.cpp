#include "TestSamples.h"
#include "playback/audio/AudioEngine.h"
#include "playback/audio/NullDriver.h"
#include "playback/audio/SampleDecoder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(SampleCache, DecodesOnceAtTheOutputRate) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/tone 44k.wav");
    ASSERT_TRUE(testsamples::writeWav(path, std::vector<float>(2 * 44100, 0.3f), 2, 44100));
    audio::SampleCache cache(48000);
    const auto sample = cache.get(path.toStdString());
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->channels, 2);
    EXPECT_EQ(sample->sampleRate, 48000);
    EXPECT_NEAR(static_cast<double>(sample->frames), 48000.0, 2.0); // one second at the new rate
    EXPECT_NEAR(sample->valueAt(2 * 24000), 0.3f, 1e-3f);           // converted, not just relabelled
    // The same path (even spelled differently) gives the same decoded frames.
    EXPECT_EQ(cache.get((dir.path() + QStringLiteral("/./tone 44k.wav")).toStdString()), sample);
}

TEST(SampleCache, DecodesMp3) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/voice.mp3");
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* file = sf_open(path.toStdString().c_str(), SFM_WRITE, &info);
    if (!file) {
        GTEST_SKIP() << "this libsndfile writes no MP3";
    }
    std::vector<float> tone(44100);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = 0.5f * std::sin(6.2832f * 440.0f * static_cast<float>(i) / 44100.0f);
    }
    sf_writef_float(file, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(file);
    audio::SampleCache cache(48000);
    const auto sample = cache.get(path.toStdString());
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->channels, 1);
    // About one second at the output rate (the encoder pads a little).
    EXPECT_NEAR(static_cast<double>(sample->frames), 48000.0, 4800.0);
    EXPECT_GT(*std::max_element(sample->envelope.begin(), sample->envelope.end()), 0.3f);
}

TEST(SampleCache, MissingOrDamagedFilesGiveNothingAndAreNotRemembered) {
    QTemporaryDir dir;
    audio::SampleCache cache(48000);
    const QString path = dir.path() + QStringLiteral("/later.wav");
    std::string error;
    EXPECT_FALSE(cache.get(path.toStdString(), &error));
    EXPECT_FALSE(error.empty());
    QFile damaged(dir.path() + QStringLiteral("/damaged.wav"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("RIFF....WAVEnot a real file");
    damaged.close();
    EXPECT_FALSE(cache.get(damaged.fileName().toStdString()));
    // A file that appears afterwards is decoded on the next request.
    ASSERT_TRUE(testsamples::writeWav(path, std::vector<float>(100, 0.1f), 1));
    EXPECT_TRUE(cache.get(path.toStdString()));
}

TEST(SampleCache, PreloadsAFolderInTheBackground) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    ASSERT_TRUE(testsamples::writeMarkedBells(folder, 4800));
    audio::SampleCache cache(48000);
    cache.preloadFolder(folder.toStdString());
    // A strike that comes first waits for its own sample only (or decodes it itself).
    const auto struck = cache.get((folder + testsamples::bellFileName(14)).toStdString());
    ASSERT_TRUE(struck);
    EXPECT_EQ(struck->valueAt(0), testsamples::bellMark(14));
    cache.waitForPreload();
    for (int bell = 0; bell < 15; ++bell) {
        EXPECT_TRUE(cache.isReady((folder + testsamples::bellFileName(bell)).toStdString())) << bell;
    }
}

TEST(NullDriver, KeepsTimeWithTheClock) {
    audio::Mixer mixer(audio::MixerConfig{});
    audio::NullDriver driver(48000, 256);
    driver.renderDue(mixer, 0ns);
    EXPECT_EQ(driver.framesRendered(), 256); // the first block is due at once
    driver.renderDue(mixer, 1s);
    // Every block whose first frame is due after one second, and no more.
    EXPECT_EQ(driver.framesRendered(), 48128);
    EXPECT_EQ(mixer.frameClock(), 48128);
    driver.renderDue(mixer, 1s + 5ms);
    EXPECT_EQ(driver.framesRendered(), 48384);
    driver.renderDue(mixer, 100s);
    // Much later the clock has not drifted by a block.
    EXPECT_EQ(driver.framesRendered(), 100 * 48000 + 256);
}

TEST(NullDriver, ProgramKeepsWorkingWithoutADevice) {
    audio::AudioEngineOptions options;
    options.useDevice = false;
    auto engine = audio::AudioEngine::startRealtime(options);
    ASSERT_EQ(engine->output(), audio::AudioEngine::Output::Null);
    EXPECT_EQ(engine->outputName(), "null");
    const auto tone = audio::makeSample("tone", 1, 48000, std::vector<float>(2400, 0.1f));
    const auto handle = engine->mixer().openVoice(tone.get());
    ASSERT_TRUE(engine->mixer().play(*handle));
    // Liveness, not timing: the voice is consumed and ends; the clock moves on.
    const auto giveUp = std::chrono::steady_clock::now() + 20s;
    while (engine->mixer().isPlaying(*handle) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_FALSE(engine->mixer().isPlaying(*handle));
    EXPECT_GE(engine->frameClock(), 2400);
    engine->stop();
    const std::int64_t stopped = engine->frameClock();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(engine->frameClock(), stopped); // no render after stop()
}

} // namespace
