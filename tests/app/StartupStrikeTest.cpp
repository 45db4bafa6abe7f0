// A ringing opened from the desktop (named on the command line) plays from
// its first column with sound: after the message loop runs, once the samples
// are ready, each strike on the frame it was handed for.

#include "app/TfrmMain.h"
#include "playback/TransportPanel.h"
#include "playback/audio/AudioEngine.h"
#include "ringing/RingingFiles.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

class StartupStrike : public MainWindowTest {};

} // namespace

TEST_F(StartupStrike, FileOpenedAtStartUpStrikesColumnZeroWithSound) {
    QTemporaryDir files;
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnbmmss"));
    const RingingWriteResult written = writeUserRingingFile(
        files.filePath(QStringLiteral("звон.ukl")), ensemble, QStringLiteral("Звон"),
        {QStringLiteral("200"), QStringLiteral("s1,b1"), QString(), QStringLiteral("m2")});
    ASSERT_TRUE(written.ok);

    // As main() does: the window is built, nothing is served before the loop.
    frm = std::make_unique<TfrmMain>([this](const QString& m) { reports << m; }, program.dir(),
                                     QStringList{written.path});
    audio::AudioEngine* engine = frm->audioEngine();
    ASSERT_NE(engine, nullptr);
    engine->mixer().setStartReports(true);
    EXPECT_EQ(frm->commonScoreSize(), 0) << "opened inside start-up";

    std::vector<audio::StartReport> starts;
    ASSERT_TRUE(waitFor(
        [&] {
            audio::StartReport report;
            while (engine->mixer().takeStartReport(report)) {
                starts.push_back(report);
            }
            return starts.size() >= 3;
        },
        10000));
    EXPECT_TRUE(reports.isEmpty());
    // Column 0 (s1 and b1) sounds, both voices on their frame, then column 2.
    ASSERT_GE(starts.size(), 3u);
    EXPECT_EQ(starts[0].targetFrame, starts[1].targetFrame);
    for (const audio::StartReport& start : starts) {
        EXPECT_NE(start.sample, nullptr);
        EXPECT_EQ(start.startFrame, start.targetFrame);
    }
    EXPECT_EQ(starts[2].targetFrame - starts[0].targetFrame, 2 * 200 * engine->sampleRate() / 1000);
    EXPECT_EQ(engine->mixer().lateStarts(), 0u);
}
