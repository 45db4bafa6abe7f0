#include "record/RingingSave.h"
#include "base/TextCodec.h"
#include "playback/ColumnStrikes.h"
#include "playback/RenderCommand.h"
#include "playback/RingingRenderer.h"
#include "playback/TestSamples.h"
#include "playback/audio/AudioEngine.h"
#include "record/Recorder.h"
#include "record/RingingEdit.h"
#include "ringing/RingingReader.h"
#include "ringing/TChannels.h"
#include "score/ScoreLayout.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

Ensemble fiveBells() {
    // Bells 0 and 1 big, 2 middle, 3 and 4 small.
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"));
    return ensemble;
}

// A four-bar exercise for the small bells, written strike by strike.
RingingEdit smallBellsExercise() {
    RingingEdit edit = RingingEdit::blank();
    for (int column = 0; column < 64; column += 2) {
        edit.apply(edit.toggleSplice(column, strikeTokenOf(0, column % 4 == 0 ? 1 : 2)));
    }
    edit.apply(edit.insertSplice(64, {QString()}));
    edit.setHeader(edit.headerWithInterval(120));
    return edit;
}

TEST(RingingSave, AUserFileReadsBackEqual) {
    QTemporaryDir dir;
    const RingingEdit edit = smallBellsExercise();
    const RingingWriteResult written = writeUserRingingFile(
        dir.filePath(QStringLiteral("Упражнение")), fiveBells(), QStringLiteral("Упр_1"), edit.body());
    ASSERT_TRUE(written) << written.error.toStdString();
    EXPECT_TRUE(written.path.endsWith(QStringLiteral(".ukl")));
    const RingingRead read = readRingingDocument(written.path, RingingKind::User);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.document->name, QStringLiteral("Упр_1"));
    EXPECT_EQ(read.document->bells, QStringLiteral("111110000000000"));
    // Decoded once more by the load, the body is the editor's, empty last column included.
    QStringList body = read.document->body;
    DecodeRingingText(body);
    EXPECT_EQ(body, edit.body());
}

TEST(RingingSave, AListRingingGoesToTheFolderAndItsList) {
    QTemporaryDir dir;
    const QString custom = dir.path() + u'/';
    const RingingEdit edit = smallBellsExercise();
    ASSERT_TRUE(writeTextLines(custom + QStringLiteral("list.kli"), {QStringLiteral("Старый")}));
    ASSERT_TRUE(writeListRinging(custom, fiveBells(), QStringLiteral("Малые"), QString(), edit.body()));
    // Saving again replaces the file and does not list the name twice.
    ASSERT_TRUE(writeListRinging(custom, fiveBells(), QStringLiteral("Малые"), QString(), edit.body()));
    EXPECT_EQ(readTextLines(custom + QStringLiteral("list.kli")),
              QStringList({QStringLiteral("Старый"), QStringLiteral("Малые")}));
    const RingingRead read = readRingingDocument(custom + QStringLiteral("Малые.kol"), RingingKind::List);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.document->name, QStringLiteral("Малые"));
    QStringList body = read.document->body;
    DecodeRingingText(body);
    EXPECT_EQ(body, edit.body());
    // A name that would leave the folder is refused before anything is written.
    EXPECT_FALSE(writeListRinging(custom, fiveBells(), QStringLiteral("../x"), QString(), edit.body()));
    EXPECT_FALSE(writeListRinging(custom, fiveBells(), QString(), QString(), edit.body()));
}

// A recording corrected in the editor and saved renders, through the
// renderer's own reading of the file, to exactly the heads on screen.
TEST(RingingSave, ARecordedThenEditedFileRendersToTheStrikesOnScreen) {
    QTemporaryDir dir;
    const Ensemble ensemble = fiveBells();
    Recorder recorder;
    recorder.open(50);
    recorder.start(0);
    recorder.capture(ensemble, 4, 10);  // s1 in column 0
    recorder.capture(ensemble, 3, 60);  // s2 in column 1
    recorder.capture(ensemble, 0, 160); // b1 in column 3
    recorder.stop(300);
    RingingEdit edit = RingingEdit::fromBody(recorder.body());
    edit.apply(edit.toggleSplice(1, QStringLiteral("s2")));   // a wrong strike taken out
    edit.apply(edit.toggleSplice(2, QStringLiteral("m1")));   // a missing one put in
    edit.apply(edit.insertSplice(0, {QStringLiteral("b2")})); // a column before them all
    const RingingWriteResult written = writeUserRingingFile(dir.filePath(QStringLiteral("r.ukl")), ensemble,
                                                            QStringLiteral("r"), edit.body());
    ASSERT_TRUE(written);

    RenderOptions options;
    options.ringingPath = written.path;
    QString error;
    const std::optional<RenderRinging> ringing = readRingingForRender(options, &error);
    ASSERT_TRUE(ringing) << error.toStdString();

    // The screen: the heads the score draws of the loaded file.
    TChannels channels;
    ASSERT_TRUE(channels.loadRingingLines(TChannels::kCommonScore, edit.body(), 144).loaded);
    ScorePage page;
    page.counts = {2, 1, 2};
    for (int g = 0; g < 3; ++g) {
        page.groups[static_cast<size_t>(g)] = channels.score(g);
    }
    std::map<std::size_t, int> expected;
    for (int g = 0; g < 3; ++g) {
        for (const ScoreHead& head : scoreHeads(g, QSize(640, 100), page)) {
            const int bell = BellForToken(ensemble, head.token.at(0), head.token.mid(1).toInt());
            expected[std::size_t(head.column) * 50 * 48] |= 1 << bell;
        }
    }
    ASSERT_EQ(expected.size(), 4u);

    RenderJob job;
    job.ensemble = ringing->ensemble;
    job.columns = ringing->columns;
    job.intervalMs = ringing->intervalMs;
    job.sampleFolder = dir.path() + QStringLiteral("/Sound/");
    ASSERT_TRUE(testsamples::writeMarkedBells(job.sampleFolder, 500));
    for (int bell = 0; bell < kBellCount; ++bell) {
        job.sampleFiles[static_cast<std::size_t>(bell)] = testsamples::bellFileName(bell);
    }
    job.format = audio::OfflineRenderer::Format::Float32;
    job.outputPath = dir.filePath(QStringLiteral("r.wav"));
    const RenderResult result = renderRinging(job);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const std::vector<std::pair<std::size_t, int>> onsets =
        testsamples::markedOnsets(testsamples::readWav(job.outputPath), audio::kRingingBusGain);
    const std::vector<std::pair<std::size_t, int>> drawn(expected.begin(), expected.end());
    EXPECT_EQ(onsets, drawn);
}

} // namespace
