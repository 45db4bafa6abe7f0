// The transport panel on its own controls, with a fake host and no sound
// output: what it decides itself rather than the sequencer.

#include "playback/TransportPanel.h"
#include "playback/TransportPanelHost.h"
#include "playback/TransportText.h"
#include "support/TestProgram.h"
#include "ui/TUpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

struct FakePanelHost : TransportPanelHost {
    bool exporting = false;
    int exports = 0;
    int size = 64;
    QString highlighted;
    bool loads = true;
    QStringList loaded;

    SoundOutput* soundOutput() override { return nullptr; }
    bool exportMode() const override { return exporting; }
    void exportHtml() override { ++exports; }
    int commonScoreSize() const override { return size; }
    void clearScores() override {}
    void soundColumn(int, std::int64_t) override {}
    void strikeColumn(int, std::int64_t) override {}
    QStringList samplesForPlay() const override { return {}; }
    void showStatusMessage(const QString&) override {}
    bool notesShown() const override { return false; }
    void redrawScore() override {}
    void placeScoreCursor() override {}
    void resetScoreView() override {}
    void resetAnimation() override {}
    bool playAllInTurn() const override { return false; }
    void uncheckPlayAllInTurn() override {}
    void selectNextInTurn() override {}
    QString highlightedRinging() override { return highlighted; }
    bool loadListRinging(const QString& name) override {
        loaded.append(name);
        return loads;
    }
    int selectedBellCount() const override { return 0; }
    int groupItemCount(int) const override { return 0; }
    int groupItemIndex(int) const override { return 0; }
    void chooseGroupRinging(int, int) override {}
};

struct PanelRig {
    PanelRig() {
        tempoSlider->setRange(50, 1000);
        volumeSlider->setRange(0, 255);
        panel.setup();
    }
    struct QtApplication {
        QtApplication() { ensureQtApplication(); }
    } application; // before the first widget
    QWidget window;
    QSlider* progress = new QSlider(&window);
    QLineEdit* pageEdit = new QLineEdit(&window);
    TUpDown* page = new TUpDown(&window);
    QLabel* playTime = new QLabel(&window);
    QLabel* duration = new QLabel(&window);
    QPushButton* tempo = new QPushButton(&window);
    QSlider* tempoSlider = new QSlider(&window);
    QPushButton* volume = new QPushButton(&window);
    QSlider* volumeSlider = new QSlider(&window);
    QTimer* timer = new QTimer(&window);
    FakePanelHost host;
    TransportPanel panel{
        {progress, pageEdit, page, playTime, duration, tempo, tempoSlider, volume, volumeSlider, timer},
        host};
};

} // namespace

// Without a sound output (before start-up made it, after shutdown) the volume
// commands show their level and touch no device.
TEST(TransportPanel, VolumeWithoutSoundOutput) {
    PanelRig rig;
    EXPECT_EQ(rig.volume->text(), QStringLiteral("Громкость: 0"));
    rig.panel.nVolumeDownClick();
    EXPECT_EQ(rig.volume->text(), QStringLiteral("Громкость: 0"));
    rig.volumeSlider->setValue(rig.volumeSlider->maximum());
    rig.panel.tbVolumeChange();
    EXPECT_EQ(rig.volume->text(), transport::volumeCaption(transport::levelForVolumeSlider(255)));
    // One step up from the absent device's level 0, not from the slider's.
    rig.panel.nVolumeUpClick();
    EXPECT_EQ(rig.volume->text(), transport::volumeCaption(transport::louderLevel(0)));
}

// Started for export, Play exports every time and never starts playback.
TEST(TransportPanel, PlayExportsInExportMode) {
    PanelRig rig;
    rig.host.exporting = true;
    rig.panel.btnPlayClick();
    rig.panel.btnPlayClick();
    EXPECT_EQ(rig.host.exports, 2);
    EXPECT_FALSE(rig.panel.isPlaying());
    EXPECT_FALSE(rig.timer->isActive());

    rig.host.exporting = false;
    rig.panel.btnPlayClick();
    EXPECT_EQ(rig.host.exports, 2);
    EXPECT_TRUE(rig.panel.isPlaying());
    rig.panel.btnStopClick();
}

// The next ringing in turn plays only when one is highlighted and it loaded.
TEST(TransportPanel, NextInTurnPlaysOnlyWhatLoaded) {
    PanelRig rig;
    rig.panel.PlayNextInTurn();
    EXPECT_TRUE(rig.host.loaded.isEmpty());
    EXPECT_FALSE(rig.panel.isPlaying());

    rig.host.highlighted = QStringLiteral("Красный звон");
    rig.host.loads = false;
    rig.panel.PlayNextInTurn();
    EXPECT_EQ(rig.host.loaded, QStringList{QStringLiteral("Красный звон")});
    EXPECT_FALSE(rig.panel.isPlaying());

    rig.host.loads = true;
    rig.panel.PlayNextInTurn();
    EXPECT_TRUE(rig.panel.isPlaying());
    EXPECT_TRUE(rig.timer->isActive());
    rig.panel.btnStopClick();
}
