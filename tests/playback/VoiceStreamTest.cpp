#include "TestSamples.h"
#include "playback/audio/Mixer.h"
#include "playback/audio/SampleDecoder.h"
#include "playback/audio/VoiceStreamer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int kRate = 48000;

std::vector<float> renderLeft(audio::Mixer& mixer, int frames) {
    std::vector<float> out(static_cast<std::size_t>(2 * frames));
    mixer.render(out.data(), frames);
    std::vector<float> left;
    for (int f = 0; f < frames; ++f) {
        left.push_back(out[static_cast<std::size_t>(2 * f)]);
    }
    return left;
}

// A stream fed by hand: a decoder that falls behind gives silence and a
// counted underrun, never an end; the voice ends only once the stream is
// finished and played out; the mixer's hold on the stream is given back
// when the voice ends and when a start is withdrawn before it sounded.
TEST(VoiceStream, UnderrunPlaysSilenceThenResumesAndEndsAtTheFinish) {
    audio::Mixer mixer(audio::MixerConfig{});
    audio::VoiceStream stream(1, 512);
    const auto handle = mixer.openVoice(&stream);
    ASSERT_TRUE(handle);
    const std::vector<float> quarter(300, 0.25f);
    stream.write(quarter.data(), 100);
    ASSERT_TRUE(mixer.play(*handle));
    EXPECT_TRUE(stream.heldByMixer());

    std::vector<float> left = renderLeft(mixer, 256);
    EXPECT_FLOAT_EQ(left[99], 0.25f);
    EXPECT_EQ(left[100], 0.0f);
    EXPECT_EQ(stream.underruns(), 1u);
    EXPECT_EQ(mixer.streamUnderruns(), 1u);
    EXPECT_TRUE(mixer.isPlaying(*handle));

    // More than the ring holds in one go comes in two pieces around its end.
    stream.write(quarter.data(), 300);
    stream.write(quarter.data(), stream.writable());
    stream.finish();
    left = renderLeft(mixer, 256);
    EXPECT_FLOAT_EQ(left[0], 0.25f);
    EXPECT_FLOAT_EQ(left[255], 0.25f);
    left = renderLeft(mixer, 512);
    EXPECT_FLOAT_EQ(left[255], 0.25f);
    EXPECT_EQ(left[256], 0.0f);
    renderLeft(mixer, 256);
    EXPECT_FALSE(mixer.isPlaying(*handle));
    EXPECT_FALSE(stream.heldByMixer());
    EXPECT_EQ(stream.underruns(), 1u); // the end is not an underrun

    // Played and closed before the audio thread saw the start.
    audio::VoiceStream other(2, 256);
    const auto withdrawn = mixer.openVoice(&other);
    ASSERT_TRUE(mixer.play(*withdrawn));
    mixer.close(*withdrawn);
    renderLeft(mixer, 64);
    EXPECT_FALSE(other.heldByMixer());
}

// A file streamed through the streamer sounds as the decoded sample does,
// at the file's rate and at another one, even when it is longer than the
// ring; the streamer frees the stream once nobody holds it.
TEST(VoiceStream, StreamedFileSoundsAsTheDecodedSampleAndIsFreedAfter) {
    QTemporaryDir dir;
    for (int fileRate : {kRate, 22050}) {
        const QString path = dir.path() + QStringLiteral("/speech%1.wav").arg(fileRate);
        std::vector<float> speech(static_cast<std::size_t>(3 * fileRate)); // longer than the ring
        for (std::size_t i = 0; i < speech.size(); ++i) {
            const double t = static_cast<double>(i) / fileRate;
            speech[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * 300 * t) * std::sin(2 * M_PI * 1.3 * t));
        }
        ASSERT_TRUE(testsamples::writeWav(path, speech, 1, fileRate));
        const auto whole = audio::decodeSample(path.toStdString(), kRate);
        ASSERT_TRUE(whole);

        audio::VoiceStreamer streamer(kRate);
        auto stream = streamer.open(path.toStdString());
        while (stream->state() == audio::VoiceStreamer::State::Opening) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_EQ(stream->state(), audio::VoiceStreamer::State::Ready);
        audio::Mixer mixer(audio::MixerConfig{});
        const auto handle = mixer.openVoice(stream->stream());
        ASSERT_TRUE(mixer.play(*handle));
        std::vector<float> played;
        while (mixer.isPlaying(*handle) && played.size() < static_cast<std::size_t>(5 * kRate)) {
            // Render only what the decoder has ready, as a real-time device
            // would find it with the read-ahead.
            while (stream->stream()->framesWritten() < static_cast<std::int64_t>(played.size()) + 256 &&
                   !stream->stream()->finished()) {
                std::this_thread::sleep_for(1ms);
            }
            const std::vector<float> block = renderLeft(mixer, 256);
            played.insert(played.end(), block.begin(), block.end());
        }
        EXPECT_EQ(mixer.streamUnderruns(), 0u);
        EXPECT_NEAR(static_cast<double>(stream->stream()->framesWritten()),
                    static_cast<double>(whole->frames), 2.0)
            << fileRate;
        for (std::int64_t f = 0; f < whole->frames - 2; ++f) {
            ASSERT_NEAR(played[static_cast<std::size_t>(f)], whole->valueAt(static_cast<std::size_t>(f)),
                        2e-4)
                << fileRate << " Hz, frame " << f;
        }
        mixer.close(*handle);
        renderLeft(mixer, 256);
        EXPECT_EQ(streamer.liveStreams(), 1);
        stream.reset();
        for (int wait = 0; wait < 200 && streamer.liveStreams() > 0; ++wait) {
            std::this_thread::sleep_for(5ms);
        }
        EXPECT_EQ(streamer.liveStreams(), 0);
    }

    audio::VoiceStreamer streamer(kRate);
    auto missing = streamer.open((dir.path() + QStringLiteral("/absent.mp3")).toStdString());
    while (missing->state() == audio::VoiceStreamer::State::Opening) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(missing->state(), audio::VoiceStreamer::State::Failed);
    EXPECT_FALSE(missing->error().empty());
}

} // namespace
