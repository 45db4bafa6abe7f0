#include "playback/MciInterpreter.h"
#include "TestSamples.h"
#include "playback/StrikeVoices.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

namespace {

TEST(MciCommandParsing, AcceptsExactlyTheFourCommands) {
    struct Case {
        const char* command;
        bool valid;
        MciCommand::Kind kind;
        const char* alias;
        const char* path;
    };
    const Case cases[] = {
        // the path may hold blanks
        {"open \"waveaudio!/snd/Model 1/bell 03.wav\" alias 17", true, MciCommand::Open, "17",
         "/snd/Model 1/bell 03.wav"},
        // the path ends at the last quote before " alias "
        {"open \"waveaudio!/t/a\" alias b.wav\" alias 9", true, MciCommand::Open, "9", "/t/a\" alias b.wav"},
        {"play 65564", true, MciCommand::Play, "65564", ""},
        {"status 0 mode", true, MciCommand::Status, "0", ""},
        {"close 63", true, MciCommand::Close, "63", ""},
        // anything else is refused rather than guessed at
        {"Play 17", false, MciCommand::Play, "", ""},
        {"play", false, MciCommand::Play, "", ""},
        {"play ", false, MciCommand::Play, "", ""},
        {"play 1 2", false, MciCommand::Play, "", ""},
        {"close  17", false, MciCommand::Close, "", ""},
        {"status 17", false, MciCommand::Status, "", ""},
        {"status 17 mode now", false, MciCommand::Status, "", ""},
        {"open \"/x.wav\" alias 5", false, MciCommand::Open, "", ""},
        {"open \"waveaudio!/x.wav\" 5", false, MciCommand::Open, "", ""},
        {"open \"waveaudio!/x.wav\" alias ", false, MciCommand::Open, "", ""},
        {"open \"waveaudio!/x.wav\" alias 5 6", false, MciCommand::Open, "", ""},
        {"stop 5", false, MciCommand::Play, "", ""},
    };
    for (const Case& c : cases) {
        const std::optional<MciCommand> parsed = parseMciCommand(QString::fromUtf8(c.command));
        ASSERT_EQ(parsed.has_value(), c.valid) << c.command;
        if (parsed) {
            EXPECT_EQ(parsed->kind, c.kind) << c.command;
            EXPECT_EQ(parsed->alias, QString::fromUtf8(c.alias)) << c.command;
            EXPECT_EQ(parsed->path, QString::fromUtf8(c.path)) << c.command;
        }
    }
}

TEST(MciResends, AreBounded) {
    int calls = 0;
    // A command that always fails (a missing sample file) is re-sent a fixed number of times, not forever.
    EXPECT_EQ(sendWithResends([&] { return ++calls, kMciFileNotFound; }), kMciFileNotFound);
    EXPECT_EQ(calls, 1 + kMciResends);
    calls = 0;
    // A command that succeeds on a re-send stops there.
    EXPECT_EQ(sendWithResends([&] { return ++calls == 2 ? kMciOk : kMciBusy; }), kMciOk);
    EXPECT_EQ(calls, 2);
    calls = 0;
    EXPECT_EQ(sendWithResends([&] { return ++calls, kMciOk; }), kMciOk);
    EXPECT_EQ(calls, 1);
}

class MciOverEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/with blank/");
        ASSERT_TRUE(testsamples::writeMarkedBells(folder, 1000));
        engine = audio::AudioEngine::createOffline({});
        mci = std::make_unique<MciInterpreter>(*engine);
    }
    void render(int frames) {
        std::vector<float> out(static_cast<std::size_t>(2 * frames));
        engine->mixer().render(out.data(), frames);
    }
    QString status(const QString& alias, int* code = nullptr) {
        QString answer;
        const int result = mci->execute(QStringLiteral("status ") + alias + QStringLiteral(" mode"), &answer);
        if (code) {
            *code = result;
        }
        return answer;
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<audio::AudioEngine> engine;
    std::unique_ptr<MciInterpreter> mci;
};

TEST_F(MciOverEngine, VoiceLifeThroughTheCommands) {
    const QString path = folder + testsamples::bellFileName(3);
    ASSERT_EQ(mci->execute(QStringLiteral("open \"waveaudio!") + path + QStringLiteral("\" alias 12")),
              kMciOk);
    EXPECT_EQ(status(QStringLiteral("12")), QStringLiteral("stopped")); // opened, not yet started
    ASSERT_EQ(mci->execute(QStringLiteral("play 12")), kMciOk);
    // "playing" from the play command on, before the mixer has rendered a frame.
    EXPECT_EQ(status(QStringLiteral("12")), QStringLiteral("playing"));
    render(999);
    EXPECT_EQ(status(QStringLiteral("12")), QStringLiteral("playing")); // one frame of the sample is left
    render(1);
    EXPECT_EQ(status(QStringLiteral("12")), QStringLiteral("stopped"));
    EXPECT_EQ(mci->execute(QStringLiteral("close 12")), kMciOk);
    int code = kMciOk;
    status(QStringLiteral("12"), &code);
    EXPECT_EQ(code, kMciUnknownAlias); // a closed alias is unknown again
}

TEST_F(MciOverEngine, ErrorsOfTheCommands) {
    const QString open = QStringLiteral("open \"waveaudio!") + folder + testsamples::bellFileName(1) +
                         QStringLiteral("\" alias 5");
    ASSERT_EQ(mci->execute(open), kMciOk);
    EXPECT_EQ(mci->execute(open), kMciDuplicateAlias); // an alias belongs to one voice
    EXPECT_EQ(mci->execute(QStringLiteral("play 6")), kMciUnknownAlias);
    EXPECT_EQ(mci->execute(QStringLiteral("close 6")), kMciUnknownAlias);
    EXPECT_EQ(mci->execute(QStringLiteral("pause 5")), kMciUnrecognizedCommand);
    const QString missing =
        QStringLiteral("open \"waveaudio!") + folder + QStringLiteral("none.wav\" alias 7");
    for (int attempt = 0; attempt < 3; ++attempt) {
        // A missing file fails every time and opens nothing.
        EXPECT_EQ(mci->execute(missing), kMciFileNotFound);
    }
    EXPECT_EQ(mci->openCount(), 1);
}

TEST_F(MciOverEngine, MissingSampleSoundsNothingAndStaysListedUntilTheSweep) {
    StrikeVoices voices(*mci, 7);
    const QString alias = voices.sound(folder + QStringLiteral("missing.wav"), kSequencerAliasMax);
    EXPECT_EQ(voices.aliasList(), QStringList({alias}));
    EXPECT_EQ(mci->openCount(), 0);
    EXPECT_FALSE(voices.isVoicePlaying(alias));
    std::vector<float> out(512);
    engine->mixer().render(out.data(), 256);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; }));
    voices.closeFinishedVoices();
    EXPECT_TRUE(voices.aliasList().isEmpty());
}

} // namespace

namespace {

// A strike's gain (a MIDI velocity) reaches the voice through the whole
// strike path, offline as on the device: half the gain, half the level.
TEST_F(MciOverEngine, StrikeGainScalesTheVoice) {
    StrikeVoices voices(*mci, 7);
    const QString path = folder + testsamples::bellFileName(4);
    const auto peakOf = [&](float gain) {
        voices.sound(path, kHandStrikeAliasMax, std::nullopt, gain);
        std::vector<float> out(2 * 1000);
        engine->mixer().render(out.data(), 1000);
        voices.closeFinishedVoices();
        float peak = 0.0f;
        for (const float v : out) {
            peak = std::max(peak, std::abs(v));
        }
        return peak;
    };
    const float full = peakOf(1.0f);
    ASSERT_GT(full, 0.0f);
    EXPECT_NEAR(peakOf(0.5f) / full, 0.5f, 1e-3);
    EXPECT_FLOAT_EQ(peakOf(0.0f), 0.0f);
}

} // namespace
