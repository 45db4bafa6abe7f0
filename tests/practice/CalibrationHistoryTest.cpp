#include "base/ProfileFile.h"
#include "input/MidiSettings.h"
#include "practice/CalibrationDialog.h"
#include "practice/LatencyCalibration.h"
#include "practice/Trainer.h"
#include "practice/TrainingHistory.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

std::vector<double> clicksEvery(double intervalMs, int count) {
    std::vector<double> clicks;
    for (int i = 0; i < count; ++i) {
        clicks.push_back(1000.0 + i * intervalMs);
    }
    return clicks;
}

} // namespace

TEST(LatencyCalibration, RecoversAKnownOffsetFromNoisyTaps) {
    struct Case {
        const char* what;
        double offset;
        double noise;
        int outliers; // taps thrown far off (a stumble, a double tap)
        double tolerance;
    };
    const Case cases[] = {
        {"clean late", 60.0, 0.0, 0, 0.01},
        {"noisy late", 45.0, 8.0, 0, 6.0},
        {"noisy early", -25.0, 8.0, 0, 6.0},
        // A mean would be dragged 20 ms off by these; the estimate must not be.
        {"with outliers", 35.0, 6.0, 3, 6.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, c.noise > 0 ? c.noise : 1e-9);
        const std::vector<double> clicks = clicksEvery(600.0, 16);
        std::vector<double> taps;
        for (size_t i = 0; i < clicks.size(); ++i) {
            const bool outlier = static_cast<int>(i) < c.outliers;
            taps.push_back(clicks[i] + c.offset + (outlier ? 200.0 : noise(random)));
        }
        const LatencyCalibration::Estimate estimate = LatencyCalibration::estimate(clicks, taps);
        ASSERT_TRUE(estimate.valid) << estimate.problem.toStdString();
        EXPECT_NEAR(estimate.offsetMs, c.offset, c.tolerance);
        EXPECT_EQ(estimate.usedTaps, 16 - c.outliers);
    }
}

TEST(LatencyCalibration, RefusesTooFewOrScatteredTaps) {
    const std::vector<double> clicks = clicksEvery(800.0, 12);
    // Four taps are not enough.
    EXPECT_FALSE(LatencyCalibration::estimate(clicks, {1010, 1810, 2610, 3410}).valid);
    // Taps 500 ms after every click (300 ms before the next) answer no click
    // within the bounds of a delay.
    std::vector<double> between;
    for (double click : clicks) {
        between.push_back(click + 500.0);
    }
    const LatencyCalibration::Estimate outside = LatencyCalibration::estimate(clicks, between);
    EXPECT_FALSE(outside.valid);
    EXPECT_TRUE(outside.problem.contains(QStringLiteral("400"))) << outside.problem.toStdString();
    // No clicks at all.
    EXPECT_FALSE(LatencyCalibration::estimate({}, {1, 2, 3, 4, 5, 6}).valid);
}

// Taps that do not follow the clicks must not give a delay to save, however
// they happen to fall; a clear reason is given instead.
TEST(LatencyCalibration, RandomTapsAreRefused) {
    std::mt19937 random(11);
    int accepted = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const int taps = trial % 2 == 0 ? 12 : 16;
        const std::vector<double> clicks = clicksEvery(800.0, 16);
        std::uniform_real_distribution<double> moment(clicks.front(), clicks.back() + 400.0);
        std::vector<double> tapped;
        for (int i = 0; i < taps; ++i) {
            tapped.push_back(moment(random));
        }
        std::sort(tapped.begin(), tapped.end());
        const LatencyCalibration::Estimate estimate = LatencyCalibration::estimate(clicks, tapped);
        accepted += estimate.valid ? 1 : 0;
        EXPECT_FALSE(estimate.problem.isEmpty() && !estimate.valid);
    }
    EXPECT_EQ(accepted, 0);
}

// Delays up to the stated bound are measured at the dialog's spacing of the
// clicks, from the first tap to the last, however far past half a spacing.
TEST(LatencyCalibration, LongDelaysAreMeasuredUpToTheBound) {
    struct Case {
        double delay;
        double noise;
        bool valid;
    };
    const Case cases[] = {
        {320.0, 12.0, true},  // was taken for -280 to the next click
        {370.0, 15.0, true},  //
        {400.0, 0.0, true},   // the bound itself
        {-190.0, 10.0, true}, // early habit near the lower bound
        {0.0, 25.0, true},    // a sloppy but honest tapper
        {460.0, 8.0, false},  // beyond the bound: refused, not read as -340
        {-300.0, 8.0, false}, //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        std::mt19937 random(5);
        std::normal_distribution<double> noise(0.0, c.noise > 0 ? c.noise : 1e-9);
        const std::vector<double> clicks =
            clicksEvery(CalibrationDialog::kClickIntervalMs, CalibrationDialog::kClicks);
        std::vector<double> taps;
        // The first click comes unannounced: the user joins at the second.
        for (size_t i = 1; i < clicks.size(); ++i) {
            taps.push_back(clicks[i] + c.delay + noise(random));
        }
        const LatencyCalibration::Estimate estimate = LatencyCalibration::estimate(clicks, taps);
        EXPECT_EQ(estimate.valid, c.valid) << estimate.problem.toStdString();
        if (c.valid) {
            EXPECT_NEAR(estimate.offsetMs, c.delay, 1.0 + c.noise / 2.0);
        }
    }
}

TEST(LatencyCalibration, StoredInItsOwnSection) {
    QTemporaryDir dir;
    ProfileFile settings(dir.filePath(QStringLiteral("campanix.ini")));
    settings.writeString(QStringLiteral("Serial"), QStringLiteral("Bells"),
                         QStringLiteral("000000000000011"));
    EXPECT_EQ(LatencyCalibration::readOffset(settings), 0); // missing
    ASSERT_TRUE(LatencyCalibration::writeOffset(settings, 42));
    EXPECT_EQ(LatencyCalibration::readOffset(settings), 42);
    EXPECT_EQ(settings.readString(QStringLiteral("Training"), QStringLiteral("Latency"), {}), "42");
    EXPECT_EQ(settings.readString(QStringLiteral("Serial"), QStringLiteral("Bells"), {}), "000000000000011");
}

// Kept to a tenth of a millisecond: whole numbers as older versions wrote
// (and read) them, tenths otherwise; what cannot be a latency reads as none.
TEST(LatencyCalibration, TenthsWrittenAndRead) {
    struct Case {
        const char* fault;
        double written;
        const char* text; // as stored
        double read;
    };
    const Case writes[] = {
        {"a tenth is kept, not rounded to whole ms", 42.46, "42.5", 42.5},
        {"a whole number stays readable by older versions", 42.0, "42", 42.0},
        {"a negative tenth", -12.34, "-12.3", -12.3},
        {"no minus zero", -0.04, "0", 0.0},
        {"the lower bound is kept", -200.0, "-200", -200.0},
        {"past the upper bound is clamped", 450.0, "400", 400.0},
        {"not a number stores none", std::nan(""), "0", 0.0},
    };
    QTemporaryDir dir;
    ProfileFile settings(dir.filePath(QStringLiteral("campanix.ini")));
    for (const Case& c : writes) {
        ASSERT_TRUE(LatencyCalibration::writeOffset(settings, c.written)) << c.fault;
        EXPECT_EQ(settings.readString(QStringLiteral("Training"), QStringLiteral("Latency"), {}),
                  QString::fromLatin1(c.text))
            << c.fault;
        EXPECT_DOUBLE_EQ(LatencyCalibration::readOffset(settings), c.read) << c.fault;
    }
    const Case reads[] = {
        {"an older version's whole milliseconds", 0, "35", 35.0},
        {"a decimal comma", 0, "12,5", 12.5},
        {"more digits than kept", 0, "12.34", 12.3},
        {"out of bounds", 0, "9000", 0.0},
        {"below the bounds", 0, "-900", 0.0},
        {"not a number", 0, "abc", 0.0},
        {"empty", 0, "", 0.0},
        {"infinite", 0, "inf", 0.0},
        {"NaN", 0, "nan", 0.0},
    };
    for (const Case& c : reads) {
        settings.writeString(QStringLiteral("Training"), QStringLiteral("Latency"), QString::fromLatin1(c.text));
        EXPECT_DOUBLE_EQ(LatencyCalibration::readOffset(settings), c.read) << c.fault;
    }
}

// Each input keeps its own latency: the keys', each MIDI port's (whatever
// numbers the port has this time) and a microphone's.
TEST(LatencyCalibration, EachInputItsOwn) {
    QTemporaryDir dir;
    ProfileFile settings(dir.filePath(QStringLiteral("campanix.ini")));
    const StrikeInput pads = StrikeInput::midi({QStringLiteral("ALSA"), QStringLiteral("Pads:Pads MIDI 1 24:0")});
    const StrikeInput replugged =
        StrikeInput::midi({QStringLiteral("ALSA"), QStringLiteral("Pads:Pads MIDI 1 28:0")});
    const StrikeInput keysOfPiano = StrikeInput::midi({QStringLiteral("JACK"), QStringLiteral("Piano:out")});
    const StrikeInput microphone{StrikeInput::Kind::Microphone, {}};
    ASSERT_TRUE(LatencyCalibration::writeOffset(settings, 31.2));
    ASSERT_TRUE(LatencyCalibration::writeOffset(settings, 8.7, pads));
    ASSERT_TRUE(LatencyCalibration::writeOffset(settings, 55.0, microphone));
    EXPECT_DOUBLE_EQ(LatencyCalibration::readOffset(settings), 31.2);
    EXPECT_DOUBLE_EQ(LatencyCalibration::readOffset(settings, replugged), 8.7);
    EXPECT_TRUE(replugged == pads);
    EXPECT_DOUBLE_EQ(LatencyCalibration::readOffset(settings, keysOfPiano), 0.0);
    EXPECT_DOUBLE_EQ(LatencyCalibration::readOffset(settings, microphone), 55.0);
    // The port's latency sits with the port's other settings.
    EXPECT_EQ(settings.readString(MidiSettings::sectionOf(pads.port), QStringLiteral("Latency"), {}), "8.7");
}

// The calibration counts only the taps of the input it measures: a pad's
// strokes while the keys are measured (and keys while a pad is) are not taps.
TEST(CalibrationDialog, CountsTheChosenInputsTapsOnly) {
    ensureQtApplication();
    std::int64_t frame = 0;
    CalibrationDialog::Clock clock;
    clock.frame = [&frame] { return frame += 48; };
    clock.click = [](std::int64_t) {};
    const StrikeInput pads = StrikeInput::midi({QStringLiteral("JACK"), QStringLiteral("Pads:pads")});
    const StrikeInput other = StrikeInput::midi({QStringLiteral("JACK"), QStringLiteral("Kit:out")});
    CalibrationDialog dialog(nullptr, clock, {{StrikeInput::keys(), 12.5}, {pads, 3.4}});
    auto* status = dialog.findChild<QLabel*>(QStringLiteral("lblCalibrationStatus"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), QStringLiteral("Текущая задержка: 12,5 мс"));
    dialog.chooseInput(1);
    EXPECT_EQ(status->text(), QStringLiteral("Текущая задержка: 3,4 мс"));
    EXPECT_TRUE(dialog.input() == pads);
    dialog.inputTap(pads, KeyEventClock::steadyNowNs()); // before the clicks: nothing
    dialog.startClicks();
    dialog.tap(0);
    dialog.inputTap(other, KeyEventClock::steadyNowNs());
    dialog.inputTap(StrikeInput::keys(), KeyEventClock::steadyNowNs());
    EXPECT_EQ(status->text(), QStringLiteral("Ударяйте в такт щелчкам ..."));
    dialog.inputTap(pads, KeyEventClock::steadyNowNs());
    EXPECT_EQ(status->text(), QStringLiteral("Ударов: 1"));
    // The input cannot change in the middle of the clicks.
    dialog.chooseInput(0);
    EXPECT_TRUE(dialog.input() == pads);
}

TEST(TrainingHistory, AppendsAndSurvivesDamagedLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deep/campanix/training-history.txt"));
    TrainingHistory history(path);
    EXPECT_TRUE(history.load().isEmpty()); // no file yet

    TrainingRun run;
    run.date = QDateTime(QDate(2026, 12, 7), QTime(11, 30, 0));
    run.ringing = QStringLiteral("Праздничный; трезвон"); // a separator inside a field
    run.part = QStringLiteral("m");
    run.interval = 144;
    run.meanMs = 12.5;
    run.shareOnTime = 0.75;
    run.hits = 30;
    run.misses = 2;
    ASSERT_TRUE(history.append(run));

    // Damage: a torn line, a line with a bad number, garbage; then a good line
    // written by hand with only the six required fields.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("2026-12-07T12:00:00;Звон;s;14");
    file.write("\n2026-12-07T12:00:00;Звон;s;abc;1.0;0.5\n\x01\x02garbage\n");
    file.write("2026-12-08T09:00:00;Праздничный%3B трезвон;b;150;-3.0;0.9\n");
    file.close();

    run.date = run.date.addDays(2);
    ASSERT_TRUE(history.append(run));

    const QList<TrainingRun> runs = history.load();
    EXPECT_EQ(history.skippedLines(), 3);
    ASSERT_EQ(runs.size(), 3);
    EXPECT_EQ(runs[0].ringing, run.ringing);
    EXPECT_EQ(runs[0].hits, 30);
    EXPECT_DOUBLE_EQ(runs[0].shareOnTime, 0.75);
    EXPECT_EQ(runs[1].part, "b");
    EXPECT_DOUBLE_EQ(runs[1].meanMs, -3.0);
    EXPECT_EQ(runs[1].hits, 0); // optional fields absent
    EXPECT_EQ(history.lastRuns(run.ringing, 2).size(), 2);
    EXPECT_EQ(history.lastRuns(run.ringing, 2).last().date, run.date);
    EXPECT_TRUE(history.lastRuns(QStringLiteral("Другой"), 5).isEmpty());

    // The damaged lines are kept as they were, not thrown away by the rewrite.
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("garbage"));
}

TEST(TrainingHistory, DefaultPathFollowsXdgDataHome) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/tmp/xdg-test");
    EXPECT_EQ(TrainingHistory::defaultPath(), "/tmp/xdg-test/campanix/training-history.txt");
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_TRUE(TrainingHistory::defaultPath().endsWith("/.local/share/campanix/training-history.txt"));
    if (saved.isEmpty()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
}

namespace {

// A host with a MIDI port beside the keys; the test says which struck.
class TwoInputHost : public FakePracticeHost {
public:
    using FakePracticeHost::FakePracticeHost;
    StrikeInput strikingInput() const override { return striking; }
    std::optional<std::int64_t> strikingMomentNs() const override { return moment; }
    QList<StrikeInput> strikeInputs() const override { return {StrikeInput::keys(), pads}; }

    StrikeInput pads = StrikeInput::midi({QStringLiteral("JACK"), QStringLiteral("Pads:pads")});
    StrikeInput striking;
    std::optional<std::int64_t> moment;
};

} // namespace

// A pad 30 ms slower than the keys: its strike 30 ms after the column is on
// time, the keys' strike as late is 30 ms late. The pad's note is placed to
// its own moment, not to the whole millisecond the notifier tells.
TEST(TrainerLatency, EachInputLosesItsOwnLatency) {
    ensureQtApplication();
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());
    TwoInputHost host(dir.filePath(QStringLiteral("campanix.ini")));
    host.lead = 0;
    host.bells.applyText(QStringLiteral("011011000000000"), QStringLiteral("nbbnssnnnnnnnnn"));
    host.channels().common() = {QStringLiteral("s1,s2"), QString(), QString(), QString(),
                                QStringLiteral("s1,s2"), QString(), QString(), QString()};
    Trainer trainer(host);
    trainer.setLatencyMs(0.0);
    trainer.setLatencyMs(30.0, host.pads);
    EXPECT_DOUBLE_EQ(trainer.latencyMs(host.pads), 30.0);
    ASSERT_TRUE(trainer.startRun(PracticePart::ofBell(5)));
    host.playing = true;
    const std::int64_t late = 30 * FakePracticeHost::kRate / 1000;
    for (const StrikeInput& input : {StrikeInput::keys(), host.pads}) {
        const int column = input.kind == StrikeInput::Kind::Keys ? 0 : 4;
        host.frame += 4 * 4800;
        trainer.columnStruck(column, host.frame);
        host.frame += late;
        host.striking = input;
        if (input == host.pads) {
            host.moment = KeyEventClock::steadyNowNs();
        }
        trainer.keyStruck(5, KeyStrikeNotifier::steadyMilliseconds());
    }
    host.frame += FakePracticeHost::kRate;
    host.playing = false;
    trainer.poll();
    ASSERT_NE(trainer.session(), nullptr);
    std::vector<double> errors;
    for (const StrikeOutcome& outcome : trainer.session()->outcomes()) {
        ASSERT_EQ(outcome.kind, StrikeOutcome::Kind::Hit);
        errors.push_back(outcome.errorMs);
    }
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NEAR(errors[0], 30.0, 1.0);
    EXPECT_NEAR(errors[1], 0.0, 0.1);
    qunsetenv("XDG_DATA_HOME");
}
