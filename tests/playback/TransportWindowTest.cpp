// The transport and the generator inside the real main window (offscreen),
// over a small program folder with one group ringing for each group.

#include "base/TextCodec.h"
#include "app/TfrmMain.h"
#include "support/TestProgram.h"

#include <QComboBox>
#include <QDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TransportWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        m_cwd = QDir::currentPath();
        // Two bells in each group: every group selector offers its one ringing.
        program.writeSettings({QStringLiteral("[Serial]"), QStringLiteral("Bells=111111000000000"),
                               QStringLiteral("Types=bbmmssnnnnnnnnn")});
        writeTextLines(program.dir() + QStringLiteral("Campanel/g.kol"),
                       {QStringLiteral("144"), QStringLiteral("s1,m1,b1"), QStringLiteral("s2,m2,b2")});
        frm = std::make_unique<TfrmMain>([this](const QString& m) { reports << m; }, program.dir(),
                                         QStringList{});
    }
    void TearDown() override {
        frm.reset();
        QDir::setCurrent(m_cwd);
    }
    int selectorIndex(int g) const { return frm->groupSelector(g)->currentIndex(); }

    TempProgram program;
    QStringList reports;
    std::unique_ptr<TfrmMain> frm;

private:
    QString m_cwd;
};

} // namespace

// The generator fills every offering selector, loads the 128-column
// combination and plays; a second press changes one group at once without
// stopping; Stop ends generator mode.
TEST_F(TransportWindow, GeneratorDrivesTheSelectors) {
    ASSERT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    ASSERT_EQ(frm->groupSelector(0)->count(), 2);
    frm->nGeneratorClick();
    EXPECT_EQ(selectorIndex(0), 1);
    EXPECT_EQ(selectorIndex(1), 1);
    EXPECT_EQ(selectorIndex(2), 1);
    EXPECT_EQ(frm->commonScoreSize(), 128);
    EXPECT_TRUE(frm->isPlaying());
    EXPECT_TRUE(frm->mmTimer->isActive());
    EXPECT_EQ(frm->tbProgress->maximum(), 128);

    frm->nGeneratorClick();
    const int silent = (selectorIndex(0) == 0) + (selectorIndex(1) == 0) + (selectorIndex(2) == 0);
    EXPECT_EQ(silent, 1);
    EXPECT_TRUE(frm->isPlaying());

    frm->btnStopClick();
    EXPECT_FALSE(frm->isPlaying());
    EXPECT_FALSE(frm->mmTimer->isActive());
    EXPECT_EQ(frm->tbProgress->value(), 0);
}

// Tempo: the caption follows the slider, and the buttons clamp.
TEST_F(TransportWindow, TempoControls) {
    EXPECT_EQ(frm->btnTemp->text(), "Темп: 906");
    frm->tbTemp->setValue(1000);
    frm->nTempDownClick();
    EXPECT_EQ(frm->sequencerInterval(), 1000);
    EXPECT_EQ(frm->btnTemp->text(), "Темп: 50");
    frm->tbTemp->setValue(60);
    frm->nTempUpClick();
    EXPECT_EQ(frm->sequencerInterval(), 50);
    EXPECT_EQ(frm->btnTemp->text(), "Темп: 1000");
}
