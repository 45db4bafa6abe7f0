// Samples are decoded and converted off the window's thread: a strike never
// waits for a conversion, and a sample a strike asks for is converted next.

#include "TestSamples.h"
#include "app/TfrmMain.h"
#include "playback/SoundOutput.h"
#include "playback/audio/SampleCache.h"
#include "playback/audio/SampleDecoder.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A decoder held shut until the check opens it, noting each path it decodes
// and the thread it decodes on. A decoder still shut after ten seconds gives
// up and notes that, so a caller that waits on it fails the check instead of
// hanging it.
class GatedDecoder {
public:
    audio::SampleCache::Decoder decoder() {
        return [this](const std::string& path, int rate, std::string*) {
            std::unique_lock lock(m_mutex);
            m_started.push_back(path);
            m_threads.push_back(std::this_thread::get_id());
            m_changed.notify_all();
            if (!m_changed.wait_for(lock, 10s, [&] { return m_open || m_letThrough == path; })) {
                m_gaveUp = true;
            }
            return audio::makeSample(path, 1, rate, std::vector<float>(64, 0.5f));
        };
    }
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    // Lets only `path` through, so that one worker at a time is free.
    void letThrough(const std::string& path) {
        std::lock_guard lock(m_mutex);
        m_letThrough = path;
        m_changed.notify_all();
    }
    bool waitForStart(const std::string& path) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] {
            return std::find(m_started.begin(), m_started.end(), path) != m_started.end();
        });
    }
    bool waitForStarts(std::size_t count) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] { return m_started.size() >= count; });
    }
    std::vector<std::string> started() {
        std::lock_guard lock(m_mutex);
        return m_started;
    }
    std::vector<std::thread::id> threads() {
        std::lock_guard lock(m_mutex);
        return m_threads;
    }
    bool gaveUp() {
        std::lock_guard lock(m_mutex);
        return m_gaveUp;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_started;
    std::vector<std::thread::id> m_threads;
    bool m_open = false;
    std::string m_letThrough;
    bool m_gaveUp = false;
};

} // namespace

// While the background thread converts, a strike's request answers at once
// with nothing, moves its sample ahead of the rest of the folder, and gets
// the sample once converted; no conversion ever runs on the asking thread.
TEST(SampleConversion, StrikesNeverWaitAndJumpTheQueue) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav"}) {
        QFile file(QString::fromStdString(folder + name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    GatedDecoder gate;
    {
        audio::SampleCache cache(44100, gate.decoder());
        cache.preloadFolder(folder);
        ASSERT_TRUE(gate.waitForStarts(1)); // "a" is converting, held shut
        EXPECT_EQ(cache.tryGet(folder + "d.wav"), nullptr);
        EXPECT_EQ(cache.tryGet(folder + "a.wav"), nullptr);
        EXPECT_EQ(cache.callerWaits(), 0);
        // Only "a" finishes: the worker it frees must take "d" next, while
        // the other worker (if it started "b") is still held. Were both
        // freed at once, which of "c" and "d" reached the decoder first
        // would be a race between them, not the queue's order.
        gate.letThrough(folder + "a.wav");
        ASSERT_TRUE(gate.waitForStart(folder + "d.wav"));
        gate.open();
        cache.waitForPreload();

        // Asked for by a strike, "d" goes before every file not yet
        // started ("b" may have started on the second thread meanwhile).
        const std::vector<std::string> order = gate.started();
        ASSERT_EQ(order.size(), 4u);
        EXPECT_EQ(order[0], folder + "a.wav");
        const auto at = [&](const char* name) {
            return std::find(order.begin(), order.end(), folder + name) - order.begin();
        };
        EXPECT_LT(at("d.wav"), at("c.wav"));
        EXPECT_LE(at("d.wav"), 2);
        const auto sample = cache.tryGet(folder + "d.wav");
        ASSERT_NE(sample, nullptr);
        EXPECT_EQ(sample->sampleRate, 44100);
        for (std::thread::id id : gate.threads()) {
            EXPECT_NE(id, std::this_thread::get_id());
        }
        EXPECT_FALSE(gate.gaveUp());

        EXPECT_EQ(cache.get(folder + "a.wav")->sampleRate, 44100);
        EXPECT_EQ(cache.callerWaits(), 0); // ready: get() did not wait either
    }
}

// The medium converter stays close to the best one on a bell-like tone.
TEST(SampleConversion, MediumConverterKeepsTheSound) {
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/tone.wav");
    std::vector<float> tone(48000);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        const double t = static_cast<double>(i) / 48000.0;
        tone[i] = static_cast<float>(std::exp(-3.0 * t) * (0.4 * std::sin(2 * M_PI * 440.0 * t) +
                                                           0.2 * std::sin(2 * M_PI * 2637.0 * t) +
                                                           0.1 * std::sin(2 * M_PI * 9301.0 * t)));
    }
    ASSERT_TRUE(testsamples::writeWav(path, tone, 1));
    const auto best = audio::decodeSample(path.toStdString(), 44100, nullptr, audio::Converter::Best);
    const auto medium = audio::decodeSample(path.toStdString(), 44100, nullptr, audio::Converter::Medium);
    ASSERT_TRUE(best && medium);
    // The converters may end a frame apart.
    ASSERT_LE(std::abs(best->frames - medium->frames), 2);
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < std::min(best->data.size(), medium->data.size()); ++i) {
        signal += double(best->valueAt(i)) * best->valueAt(i);
        const double d = double(best->valueAt(i)) - medium->valueAt(i);
        noise += d * d;
    }
    EXPECT_GT(10.0 * std::log10(signal / std::max(noise, 1e-30)), 70.0);
}

// At 44.1 kHz (samples recorded at 48 kHz) the window strikes every bell at
// once after a change of model row, while the new set still converts: no
// strike waits for a conversion, and once the set is ready the same strikes
// sound.
TEST_F(MainWindowTest, StrikesAt44kNeverWaitForConversion) {
    // A second of stereo per bell: the set takes a while to convert.
    const QString row2 = program.dir() + QStringLiteral("Sound/Model2/Stereo/");
    QDir().mkpath(row2);
    for (int i = 0; i < 15; ++i) {
        std::vector<float> values(2 * 48000);
        for (std::size_t f = 0; f < values.size(); ++f) {
            values[f] = 0.2f * static_cast<float>(std::sin(0.01 * static_cast<double>(f * (i + 1))));
        }
        ASSERT_TRUE(testsamples::writeWav(
            row2 + QStringLiteral("bell%1.wav").arg(i + 1, 2, 10, QLatin1Char('0')), values, 2));
    }
    qputenv("CAMPANIX_SAMPLE_RATE", "44100");
    program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=111111111111111"),
                           QStringLiteral("Types=bbbbbmmmmmsssss")});
    TfrmMain& w = startWith({});
    qunsetenv("CAMPANIX_SAMPLE_RATE");
    audio::AudioEngine* engine = w.audioEngine();
    ASSERT_NE(engine, nullptr);
    ASSERT_EQ(engine->sampleRate(), 44100);
    engine->samples().waitForPreload();

    control<QComboBox>(w, "cbModelRow")->setCurrentIndex(1);
    w.cbModelRowChange();
    w.channels().common() = QStringList{QStringLiteral("s1,m1,b1"), QStringLiteral("s2,m2,b2")};
    for (int bell = 0; bell < 15; ++bell) {
        w.HandStrike(bell);
    }
    const std::string last = (row2 + QStringLiteral("bell15.wav")).toStdString();
    // The strikes came while the set converted (else this check proves nothing)...
    EXPECT_FALSE(engine->samples().isReady(last));
    // ...and none of them waited for it.
    EXPECT_EQ(engine->samples().callerWaits(), 0);

    engine->samples().waitForPreload();
    EXPECT_TRUE(engine->samples().isReady(last));
    const int before = w.strikeVoices()->mci().openCount();
    w.btnPlayClick(); // both columns are handed to the engine at once
    EXPECT_EQ(w.strikeVoices()->mci().openCount(), before + 6);
    EXPECT_EQ(engine->samples().callerWaits(), 0);
    w.btnStopClick();
}

// A key strike whose sample is still converting sounds as soon as it is
// ready, late by the wait and counted; a missing file stays silent. The
// engine's voices run at 48 kHz whatever the device's rate, so the sample
// that needs converting is one recorded at another rate.
TEST(SampleConversion, HandStrikeWaitsForItsSample) {
    ensureQtApplication();
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/long.wav");
    std::vector<float> values(2 * 3 * 48000);
    for (std::size_t f = 0; f < values.size(); ++f) {
        values[f] = 0.2f * static_cast<float>(std::sin(0.01 * static_cast<double>(f)));
    }
    ASSERT_TRUE(testsamples::writeWav(path, values, 2, 44100));
    SoundOutput sound(44100);
    ASSERT_EQ(sound.sampleRate(), 44100);
    sound.strikeByHand(dir.path() + QStringLiteral("/missing.wav"));
    sound.strikeByHand(path);
    EXPECT_EQ(sound.voices().mci().openCount(), 0) << "sounded before its sample was ready";
    EXPECT_TRUE(waitFor([&] { return sound.lateHandStrikes() == 1; }, 20000));
    EXPECT_EQ(sound.voices().mci().openCount(), 1);
    EXPECT_GT(sound.longestHandWaitFrames(), 0);
}
