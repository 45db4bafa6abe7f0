// The transport and the generator inside the real main window (offscreen),
// over a small program folder with one group ringing for each group.

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "playback/Sequencer.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingChoices.h"
#include "support/MainWindowTest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TransportWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Two bells in each group: every group selector offers its one ringing.
        program.writeBells(QStringLiteral("111111000000000"), QStringLiteral("bbmmssnnnnnnnnn"));
        writeTextLines(program.dir() + QStringLiteral("Campanel/g.kol"),
                       {QStringLiteral("144"), QStringLiteral("s1,m1,b1"), QStringLiteral("s2,m2,b2")});
        startWith({});
    }
    int selectorIndex(int g) const { return frm->choices().groupSelector(g)->currentIndex(); }
};

} // namespace

// The generator fills every offering selector, loads the 128-column
// combination and plays; a second press changes one group at once without
// stopping; Stop ends generator mode.
TEST_F(TransportWindow, GeneratorDrivesTheSelectors) {
    ASSERT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    ASSERT_EQ(frm->choices().groupSelector(0)->count(), 2);
    frm->nGeneratorClick();
    EXPECT_EQ(selectorIndex(0), 1);
    EXPECT_EQ(selectorIndex(1), 1);
    EXPECT_EQ(selectorIndex(2), 1);
    EXPECT_EQ(frm->commonScoreSize(), 128);
    EXPECT_TRUE(frm->transport().isPlaying());
    auto* mmTimer = control<QTimer>(frm, "mmTimer");
    EXPECT_TRUE(mmTimer->isActive());
    auto* tbProgress = control<QSlider>(frm, "tbProgress");
    EXPECT_EQ(tbProgress->maximum(), 128);

    frm->nGeneratorClick();
    const int silent = (selectorIndex(0) == 0) + (selectorIndex(1) == 0) + (selectorIndex(2) == 0);
    EXPECT_EQ(silent, 1);
    EXPECT_TRUE(frm->transport().isPlaying());

    frm->btnStopClick();
    EXPECT_FALSE(frm->transport().isPlaying());
    EXPECT_FALSE(mmTimer->isActive());
    EXPECT_EQ(tbProgress->value(), 0);
}

// Tempo: the caption follows the slider, and the buttons clamp.
TEST_F(TransportWindow, TempoControls) {
    auto* btnTemp = control<QPushButton>(frm, "btnTemp");
    EXPECT_EQ(btnTemp->text(), "Темп: 906");
    auto* tbTemp = control<QSlider>(frm, "tbTemp");
    tbTemp->setValue(1000);
    frm->nTempDownClick();
    EXPECT_EQ(frm->transport().sequencerInterval(), 1000);
    EXPECT_EQ(btnTemp->text(), "Темп: 50");
    tbTemp->setValue(60);
    frm->nTempUpClick();
    EXPECT_EQ(frm->transport().sequencerInterval(), 50);
    EXPECT_EQ(btnTemp->text(), "Темп: 1000");
}

// A group choice while column 127 plays changes the ranges without seeking:
// the slider, clamped to the shorter range, does not pull the column back, so
// column 127 is not struck twice and the ringing goes on from column 0.
TEST_F(TransportWindow, GroupChoiceDuringPlaybackKeepsTheColumn) {
    ASSERT_EQ(frm->choices().groupSelector(0)->count(), 2);
    frm->choices().groupSelector(0)->setCurrentIndex(1);
    frm->cbCustomSelectionChange(0);
    ASSERT_EQ(frm->commonScoreSize(), 128);
    frm->btnPlayClick();
    ASSERT_TRUE(frm->transport().isPlaying());
    auto* tbProgress = control<QSlider>(frm, "tbProgress");
    EXPECT_EQ(tbProgress->maximum(), 128);

    tbProgress->setValue(127); // the user drags to the last column
    ASSERT_EQ(frm->transport().sequencer().currentColumn(), 127);
    frm->choices().groupSelector(1)->setCurrentIndex(1);
    frm->cbCustomSelectionChange(1);
    EXPECT_EQ(frm->transport().sequencer().currentColumn(), 127);
    EXPECT_EQ(tbProgress->maximum(), 126);
    EXPECT_EQ(control<TUpDown>(frm, "udPage")->max(), 2);
    EXPECT_TRUE(frm->transport().isPlaying());

    // The next strike is the loop's column 0 (or a column after it when the
    // tick came late), never 126 or 127 again.
    QDeadlineTimer deadline(3000);
    while (frm->transport().sequencer().currentColumn() == 127 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_LT(frm->transport().sequencer().currentColumn(), 126);
    frm->btnStopClick();
}
