#include "lessons/LessonVoices.h"
#include "lessons/EngineVoice.h"
#include "playback/audio/AudioEngine.h"
#include "playback/audio/SampleDecoder.h"
#include "support/TestProgram.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <string>
#include <vector>

namespace {

// A player that writes down what it was asked to do.
class FakeVoice : public LessonVoice {
public:
    FakeVoice(char name, std::string& log) : m_name(name), m_log(log) {}
    void playFromStart() override { m_log += std::string("+") + m_name; }
    void stop() override { m_log += std::string("-") + m_name; }

private:
    char m_name;
    std::string& m_log;
};

enum Step { Show0, Show1, Show2, Show3, ShowTrezvon, ShowTraining, ShowNoVoice, Close, Link1, Link2, LinkNoVoice };

int tagOf(Step step) {
    switch (step) {
    case Show0:
        return lessontags::kReference;
    case Show1:
    case Link1:
        return lessontags::kSmall;
    case Show2:
    case Link2:
        return lessontags::kMiddle;
    case Show3:
        return lessontags::kBig;
    case ShowTrezvon:
        return lessontags::kTrezvon;
    case ShowTraining:
        return lessontags::kTraining;
    default:
        return lessontags::kNoVoice;
    }
}

struct VoiceCase {
    const char* what;
    std::vector<Step> steps;
    const char* log; // "+x" starts voice x from its start, "-x" stops it
};

// Whatever takes a page's place in the window, or closes the window,
// silences the page's voice first: one voice at most, none after closing.
TEST(LessonVoices, OneVoiceAtATimeAndNoneAfterClosing) {
    const VoiceCase cases[] = {
        {"the same lesson twice restarts its voice", {Show1, Show1}, "+s-s+s"},
        {"closing stops the lesson's voice; reopening starts it again", {Show1, Close, Show1}, "+s-s+s"},
        {"the help (menu or F1) over a lesson silences it", {Show2, ShowNoVoice, Close}, "+m-m"},
        {"a second lesson from the menu silences the first", {Show1, Show3, Close}, "+s-s+b-b"},
        {"the new lessons follow the same rule", {ShowTrezvon, ShowTraining, Close}, "+t-t+e-e"},
        {"closing a page without voice stops nothing", {ShowNoVoice, Close, Close}, ""},
        {"closing twice stops once", {Show0, Close, Close}, "+r-r"},
        {"a link to another lesson stops the first voice, then starts its own",
         {Show1, Link2, Close},
         "+s-s+m-m"},
        {"links from lesson to lesson to lesson", {Show0, Link1, Link2}, "+r-r+s-s+m"},
        {"a link to a page without voice (or a missing page) silences the lesson",
         {Show3, LinkNoVoice, Close},
         "+b-b"},
        {"a link from a page without voice just starts the lesson's voice", {ShowNoVoice, Link1}, "+s"},
        {"menus and links mixed", {Show1, Link2, Show3, ShowNoVoice, ShowTrezvon, Close},
         "+s-s+m-m+b-b+t-t"},
    };
    for (const VoiceCase& c : cases) {
        std::string log;
        FakeVoice ref('r', log), small('s', log), middle('m', log), big('b', log), trezvon('t', log),
            writing('w', log), training('e', log);
        LessonVoices voices({&ref, &small, &middle, &big, nullptr, &trezvon, &writing, &training});
        for (Step step : c.steps) {
            switch (step) {
            case ShowNoVoice:
                voices.showWithoutVoice();
                break;
            case Close:
                voices.windowClosed();
                break;
            case Link1:
            case Link2:
            case LinkNoVoice:
                voices.linkFollowed(tagOf(step));
                break;
            default:
                voices.showWithVoice(tagOf(step));
                break;
            }
            if (step != Close) {
                EXPECT_EQ(voices.tag(), tagOf(step)) << c.what;
            }
        }
        EXPECT_EQ(log, c.log) << c.what;
    }
}

// ---- the voice through the audio engine ----

constexpr int kRate = 48000;

// A mono WAV whose value at frame f is (f + 1) / frames: the output tells
// how far into the sound a voice is.
bool writeRamp(const QString& path, int frames) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.toStdString().c_str(), SFM_WRITE, &info);
    if (!file) {
        return false;
    }
    std::vector<float> ramp(static_cast<std::size_t>(frames));
    for (int f = 0; f < frames; ++f) {
        ramp[static_cast<std::size_t>(f)] = static_cast<float>(f + 1) / static_cast<float>(frames);
    }
    const bool ok = sf_writef_float(file, ramp.data(), frames) == frames;
    sf_close(file);
    return ok;
}

class EngineVoiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        audio::AudioEngineOptions options;
        options.sampleRate = kRate;
        engine = audio::AudioEngine::createOffline(options);
        path = dir.filePath(QStringLiteral("voice.wav"));
        ASSERT_TRUE(writeRamp(path, kRate));
    }

    // Lets the decoding thread finish and the voice's poll run.
    void settle(EngineVoice& voice) {
        QElapsedTimer clock;
        clock.start();
        while (voice.isWaiting() && clock.elapsed() < 10000) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
    }

    // Renders one block and returns its first left sample.
    float renderBlock(int frames = 256) {
        std::vector<float> out(static_cast<std::size_t>(2 * frames), 0.0f);
        engine->mixer().render(out.data(), frames);
        return out[0];
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<audio::AudioEngine> engine;
};

TEST_F(EngineVoiceTest, RestartBeginsAtTheStartAndStopSilences) {
    EngineVoice voice([this] { return engine.get(); }, path);
    voice.playFromStart();
    settle(voice);
    ASSERT_TRUE(voice.isPlaying());
    const float first = renderBlock();
    for (int i = 0; i < 40; ++i) {
        renderBlock();
    }
    const float later = renderBlock();
    EXPECT_GT(later, first * 100); // it moved on through the ramp

    // The same voice again: from its start, not from where it was.
    voice.playFromStart();
    settle(voice);
    renderBlock(); // the block in which the old voice fades out
    std::vector<float> out(512, 0.0f);
    int started = 0;
    for (int block = 0; block < 4 && started == 0; ++block) {
        std::fill(out.begin(), out.end(), 0.0f);
        engine->mixer().render(out.data(), 256);
        for (int f = 0; f < 256; ++f) {
            if (out[static_cast<std::size_t>(2 * f)] > 0.0f) {
                started = block + 1;
                break;
            }
        }
    }
    EXPECT_GT(started, 0);
    EXPECT_TRUE(voice.isPlaying());

    voice.stop();
    EXPECT_FALSE(voice.isPlaying());
    for (int i = 0; i < 4; ++i) {
        renderBlock(); // the fade
    }
    EXPECT_EQ(renderBlock(), 0.0f);
    EXPECT_EQ(engine->mixer().openVoices(), 0); // stop also closes
}

TEST_F(EngineVoiceTest, MissingFileOrNoEnginePlaysNothingAndKeepsWorking) {
    EngineVoice missing([this] { return engine.get(); }, dir.filePath(QStringLiteral("absent.mp3")));
    missing.playFromStart();
    settle(missing);
    EXPECT_FALSE(missing.isWaiting());
    EXPECT_FALSE(missing.isPlaying());
    missing.stop();

    EngineVoice silent([] { return static_cast<audio::AudioEngine*>(nullptr); }, path);
    silent.playFromStart();
    EXPECT_FALSE(silent.isWaiting());
    EXPECT_FALSE(silent.isPlaying());
    silent.stop();

    // A file that appears later (the voices being made) plays at the next
    // request: the failure is not remembered.
    ASSERT_TRUE(writeRamp(dir.filePath(QStringLiteral("absent.mp3")), 100));
    missing.playFromStart();
    settle(missing);
    EXPECT_TRUE(missing.isPlaying());
}

TEST_F(EngineVoiceTest, StopWhileDecodingCancelsTheStart) {
    EngineVoice voice([this] { return engine.get(); }, path);
    voice.playFromStart();
    voice.stop();
    engine->samples().waitForPreload();
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    EXPECT_FALSE(voice.isPlaying());
    EXPECT_EQ(renderBlock(), 0.0f);
}

// The cache's single-file preload that the voices rely on: a queued file is
// Decoding at once (so a poller never takes "not started" for "failed"),
// then Ready, or Absent again when it cannot be decoded; a cache destroyed
// with files still queued neither hangs nor leaves a waiter blocked.
TEST(LessonVoiceCache, QueuedFileStatesAndShutdown) {
    QTemporaryDir dir;
    const std::string good = dir.filePath(QStringLiteral("good.wav")).toStdString();
    const std::string bad = dir.filePath(QStringLiteral("missing.mp3")).toStdString();
    ASSERT_TRUE(writeRamp(QString::fromStdString(good), 4800));
    {
        audio::SampleCache cache(kRate);
        EXPECT_EQ(cache.availability(good), audio::SampleCache::Availability::Absent);
        cache.preloadFile(good);
        cache.preloadFile(bad);
        EXPECT_NE(cache.availability(good), audio::SampleCache::Availability::Absent);
        EXPECT_NE(cache.availability(bad), audio::SampleCache::Availability::Absent);
        cache.waitForPreload();
        EXPECT_EQ(cache.availability(good), audio::SampleCache::Availability::Ready);
        EXPECT_EQ(cache.availability(bad), audio::SampleCache::Availability::Absent);
        EXPECT_TRUE(cache.get(good));
    }
    {
        audio::SampleCache cache(kRate);
        for (int i = 0; i < 20; ++i) {
            cache.preloadFile(dir.filePath(QStringLiteral("copy%1.wav").arg(i)).toStdString());
        }
    } // destroyed with files still queued
    SUCCEED();
}

} // namespace

namespace {

// A lesson voice is kept when the pool is full: a dense ringing takes over
// its quietest bell voices, never the commentary, even in a pause of speech.
TEST(LessonVoiceMixer, FullPoolTakesOverBellsNotTheKeptVoice) {
    audio::MixerConfig config;
    config.voices = 4;
    config.handles = 64;
    audio::Mixer mixer(config);
    // Speech in a pause (silent) and loud bells: by level alone the speech
    // would go first.
    const auto speech = audio::makeSample("speech", 1, kRate, std::vector<float>(kRate, 0.0f));
    const auto bell = audio::makeSample("bell", 1, kRate, std::vector<float>(kRate, 0.5f));
    const auto voice = mixer.openVoice(speech.get());
    ASSERT_TRUE(voice);
    ASSERT_TRUE(mixer.play(*voice, audio::kStartNow, 1.0f, /*keep=*/true));
    std::vector<float> out(512);
    mixer.render(out.data(), 256);
    for (int strike = 0; strike < 12; ++strike) {
        const auto handle = mixer.openVoice(bell.get());
        ASSERT_TRUE(handle);
        ASSERT_TRUE(mixer.play(*handle));
        mixer.render(out.data(), 256);
    }
    EXPECT_GT(mixer.takenOverVoices(), 0u);
    EXPECT_TRUE(mixer.isPlaying(*voice));
}

} // namespace
