// The analysis of recorded bells, on synthetic recordings whose strike frame,
// partials and decays are known.

#include "playback/audio/analysis/RecordedBell.h"

#include "bells/belfry/SyntheticBell.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>

using belfry::Refusal;

namespace {

double centsOff(double truth, double found) {
    return found > 0.0 ? std::abs(bellmeasure::cents(truth, found)) : 1e9;
}

} // namespace

// Onset, pitch and partials of a bell under noise, at levels from loud to a
// whisper and at the rates phones record at. Each row guards one way the
// strike is found wrongly: noise taken for the attack (low level, loud noise),
// block rounding at other rates, a strike at the very start, a channel
// mix that cancels.
TEST(RecordedBell, FindsStrikePitchAndPartials) {
    struct Row {
        const char* what;
        synthetic::BellSpec spec;
    };
    const std::vector<Row> rows = {
        {"loud, quiet room", {880.0, 0.8, -70.0, 0.3, 1.6, 3.0, 48000, 1}},
        {"whisper under noise", {440.0, 0.01, -30.0, 0.45, 1.6, 3.0, 48000, 1}},
        {"44.1 kHz stereo", {1250.0, 0.3, -45.0, 0.2, 1.5, 2.0, 44100, 2}},
        {"16 kHz phone", {600.0, 0.5, -40.0, 0.61, 1.8, 3.0, 16000, 1}},
        {"96 kHz, low bell", {260.0, 0.4, -55.0, 0.25, 1.4, 6.0, 96000, 1}},
        {"strike at the first frame", {1500.0, 0.5, -60.0, 0.0, 1.2, 2.0, 48000, 1}},
        {"high small bell", {3000.0, 0.5, -50.0, 0.1, 1.2, 1.5, 44100, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const belfry::RecordingResult r = belfry::analyseRecording(synthetic::recording(row.spec));
        ASSERT_TRUE(r.ok()) << r.why;
        const belfry::BellMeasures& m = r.measures;
        EXPECT_NEAR(m.onsetSeconds(), row.spec.strikeSeconds, 0.001);
        EXPECT_LT(centsOff(row.spec.nominalHz / 2.0, m.pitchHz), 5.0) << m.pitchHz;
        const double ratios[] = {0.25, 0.5, 0.6, 0.75, 1.0};
        for (int p = 0; p < belfry::kPartialCount; ++p) {
            EXPECT_LT(centsOff(ratios[p] * row.spec.nominalHz, m.partials[p].hz), 5.0) << belfry::partialName(p);
        }
        // The pre-roll stays; the noise before it goes; the cut lies where the
        // ring meets the noise, and the hum's decay is measured.
        EXPECT_EQ(m.onsetFrame - m.cutStart,
                  std::min(m.onsetFrame, static_cast<size_t>(belfry::kPreRollSeconds * row.spec.rate)));
        EXPECT_GT(m.cutEnd, m.onsetFrame + static_cast<size_t>(0.3 * row.spec.rate));
        EXPECT_LE(m.cutEnd, r.audio.frames());
        // Independent noise in each channel is halved in power by the mix.
        // Without a stretch of noise alone, the floor is the ring's quiet end.
        if (row.spec.strikeSeconds >= 0.1) {
            EXPECT_NEAR(m.noiseFloorDb,
                        20.0 * std::log10(row.spec.peak) + row.spec.noiseDb - 10.0 * std::log10(row.spec.channels),
                        3.0);
        }
        EXPECT_GT(m.t30Seconds, 0.2);
        EXPECT_LT(m.t30Seconds, row.spec.t60 * 1.2);
    }
}

// A louder and a quieter take of one bell measure the same pitch, and
// their loudness differs by the level between them.
TEST(RecordedBell, LoudnessFollowsLevelPitchDoesNot) {
    synthetic::BellSpec spec;
    const belfry::RecordingResult loud = belfry::analyseRecording(synthetic::recording(spec));
    spec.peak /= 10.0;
    const belfry::RecordingResult quiet = belfry::analyseRecording(synthetic::recording(spec));
    ASSERT_TRUE(loud.ok() && quiet.ok());
    EXPECT_NEAR(loud.measures.loudnessDb - quiet.measures.loudnessDb, 20.0, 0.5);
    EXPECT_LT(centsOff(loud.measures.pitchHz, quiet.measures.pitchHz), 1.0);
    // Normalised, both reach the same level; the peak limit wins over it.
    const double g = belfry::levelGain(quiet.measures, -20.0, -1.0);
    EXPECT_NEAR(quiet.measures.loudnessDb + 20.0 * std::log10(g), -20.0, 0.01);
    const double limited = belfry::levelGain(loud.measures, 0.0, -1.0);
    EXPECT_NEAR(loud.measures.peakDb + 20.0 * std::log10(limited), -1.0, 0.01);
}

// Every recording that cannot make a bell is refused with its own reason.
TEST(RecordedBell, RefusesWhatIsNoBell) {
    synthetic::BellSpec spec;
    struct Row {
        const char* what;
        bellmeasure::Audio audio;
        Refusal expected;
    };
    std::vector<Row> rows;
    bellmeasure::Audio silent = synthetic::recording(spec);
    for (auto& c : silent.channels) {
        std::fill(c.begin(), c.end(), 0.0f);
    }
    rows.push_back({"digital silence", silent, Refusal::Silent});
    synthetic::BellSpec noiseOnly = spec;
    noiseOnly.noiseDb = 0.0;
    noiseOnly.strikeSeconds = noiseOnly.seconds; // the bell never sounds
    rows.push_back({"noise only", synthetic::recording(noiseOnly), Refusal::NoStrike});
    bellmeasure::Audio swell = synthetic::recording(spec);
    for (auto& c : swell.channels) {
        for (size_t i = 0; i < c.size(); ++i) {
            c[i] = static_cast<float>(0.5 * std::sin(0.05 * i) * static_cast<double>(i) / c.size());
        }
    }
    rows.push_back({"a tone that swells", swell, Refusal::NoStrike});
    bellmeasure::Audio twice = synthetic::recording(spec);
    synthetic::strikeAgain(twice, spec, 1.0, 0.5);
    rows.push_back({"struck again while ringing", twice, Refusal::TwoStrikes});
    bellmeasure::Audio before = synthetic::recording(spec);
    synthetic::BellSpec first = spec;
    first.strikeSeconds = 0.8;
    first.seconds = 2.4;
    before = synthetic::recording(first);
    synthetic::strikeAgain(before, first, 0.1, 0.45);
    rows.push_back({"an earlier strike, softer", before, Refusal::TwoStrikes});
    synthetic::BellSpec hot = spec;
    hot.peak = 1.6;
    bellmeasure::Audio clipped = synthetic::recording(hot);
    for (auto& c : clipped.channels) {
        for (float& v : c) {
            v = std::clamp(v, -1.0f, 1.0f);
        }
    }
    rows.push_back({"clipped", clipped, Refusal::Clipped});
    synthetic::BellSpec cut = spec;
    cut.seconds = spec.strikeSeconds + 0.7;
    rows.push_back({"cut 0.7 s after the strike", synthetic::recording(cut), Refusal::TooShort});
    synthetic::BellSpec knock = spec;
    knock.t60 = 0.08;
    rows.push_back({"a knock that dies at once", synthetic::recording(knock), Refusal::TooShort});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const belfry::RecordingResult r = belfry::analyseRecording(row.audio);
        EXPECT_EQ(r.refusal, row.expected) << r.why;
        EXPECT_FALSE(r.why.empty());
    }
}

// Files: what is not there, not sound, a folder, an hour long, and a good
// one in FLAC with its strike time read from the file.
TEST(RecordedBell, FilesAreToldApart) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = dir.path().toStdString();
    {
        FILE* text = std::fopen((root + "/notes.wav").c_str(), "w");
        ASSERT_NE(text, nullptr);
        std::fputs("this is a shopping list, not a bell\n", text);
        std::fclose(text);
    }
    bellmeasure::Audio hour;
    hour.sampleRate = 1000;
    hour.channels.assign(1, std::vector<float>(3600 * 1000, 0.0f));
    ASSERT_TRUE(synthetic::writeSound(root + "/hour.wav", hour, SF_FORMAT_WAV | SF_FORMAT_PCM_U8));
    synthetic::BellSpec spec;
    spec.rate = 44100;
    ASSERT_TRUE(synthetic::writeSound(root + "/bell.flac", synthetic::recording(spec), SF_FORMAT_FLAC | SF_FORMAT_PCM_16));

    EXPECT_EQ(belfry::analyseRecordingFile(root + "/missing.wav").refusal, Refusal::Unreadable);
    EXPECT_EQ(belfry::analyseRecordingFile(root).refusal, Refusal::Unreadable);
    EXPECT_EQ(belfry::analyseRecordingFile(root + "/notes.wav").refusal, Refusal::NotAudio);
    EXPECT_EQ(belfry::analyseRecordingFile(root + "/hour.wav").refusal, Refusal::TooLong);
    const belfry::RecordingResult good = belfry::analyseRecordingFile(root + "/bell.flac");
    ASSERT_TRUE(good.ok()) << good.why;
    EXPECT_NEAR(good.measures.onsetSeconds(), spec.strikeSeconds, 0.001);
}

// Trimmed, the bell starts with its pre-roll rising from silence and ends in
// silence; written as FLAC and read back, it is the same sound.
TEST(RecordedBell, TrimmedBellRoundTripsThroughFlac) {
    synthetic::BellSpec spec;
    spec.channels = 2;
    const belfry::RecordingResult r = belfry::analyseRecording(synthetic::recording(spec));
    ASSERT_TRUE(r.ok()) << r.why;
    const bellmeasure::Audio kept = belfry::trimmedRecording(r.audio, r.measures, 0.5);
    ASSERT_EQ(kept.channels.size(), 2u);
    EXPECT_EQ(kept.frames(), r.measures.cutEnd - r.measures.cutStart);
    EXPECT_EQ(kept.channels[0].front(), 0.0f);
    EXPECT_NEAR(kept.channels[1].back(), 0.0f, 1e-6f);
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/bell01.flac";
    ASSERT_EQ(belfry::writeFlac(path, kept), "");
    std::string error;
    const std::optional<bellmeasure::Audio> back = bellmeasure::readAudio(path, error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->frames(), kept.frames());
    const size_t onset = r.measures.onsetFrame - r.measures.cutStart + 100;
    EXPECT_NEAR(back->channels[1][onset], kept.channels[1][onset], 1e-6f);
    EXPECT_NE(belfry::writeFlac(dir.path().toStdString() + "/no/such/folder/bell.flac", kept), "");
}

// Order by pitch, lowest first, and the pairs within a quarter tone (the
// boundary itself is apart).
TEST(RecordedBell, OrderAndQuarterTones) {
    const std::vector<double> pitches = {440.0, 220.0, 880.0, 440.0 * std::pow(2.0, 49.0 / 1200.0),
                                         880.0 * std::pow(2.0, 50.5 / 1200.0)};
    EXPECT_EQ(belfry::orderByPitch(pitches), (std::vector<size_t>{1, 0, 3, 2, 4}));
    const auto close = belfry::closePitches(pitches, belfry::kQuarterToneCents);
    ASSERT_EQ(close.size(), 1u);
    EXPECT_EQ(close[0], (std::pair<size_t, size_t>{0, 3}));
    EXPECT_EQ(belfry::nearestNote(440.0).name, "A4");
    EXPECT_NEAR(belfry::nearestNote(446.0).cents, 23.45, 0.01);
    EXPECT_EQ(belfry::nearestNote(254.0).name, "B3");
}
