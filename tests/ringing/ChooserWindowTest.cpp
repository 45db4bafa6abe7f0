// The ringing choices inside the real main window (offscreen): the common
// list chosen twice, and a list ringing loaded through the chooser.

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "playback/TransportPanel.h"
#include "ringing/RingingLoader.h"
#include "ringing/TfrmSelSound.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {

class ChooserWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        const QString campanel = program.dir() + QStringLiteral("Campanel/");
        // A common ringing of 300 columns beside the fixture's short one.
        QStringList body{QStringLiteral("144")};
        for (int i = 0; i < 300; ++i) {
            body << (i % 2 ? QStringLiteral("s1") : QStringLiteral("m1"));
        }
        writeTextLines(campanel + QStringLiteral("long.kol"), body);
        writeTextLines(campanel + QStringLiteral("common.kli"),
                       {QStringLiteral("000;Общий;g.kol"), QStringLiteral("000;Длинный;long.kol")});
    }
};

} // namespace

// Choosing the same ringing again while stopped at column 100 of 300 reloads
// it and keeps the place: the slider stays at 100 and the page selector shows
// page 2.
TEST_F(ChooserWindow, SameCommonRingingAgainKeepsThePlace) {
    TfrmMain& w = startWith({});
    auto* cbCommon = control<QComboBox>(w, "cbCommon");
    ASSERT_EQ(cbCommon->itemText(2), QStringLiteral("Длинный"));
    cbCommon->setCurrentIndex(2);
    w.cbCommonChange();
    ASSERT_EQ(w.commonScoreSize(), 300);
    auto* udPage = control<TUpDown>(w, "udPage");
    EXPECT_EQ(udPage->max(), 5);
    auto* tbProgress = control<QSlider>(w, "tbProgress");
    tbProgress->setValue(100);
    w.cbCommonChange();
    EXPECT_EQ(w.commonScoreSize(), 300);
    EXPECT_EQ(tbProgress->value(), 100);
    EXPECT_EQ(tbProgress->maximum(), 299);
    EXPECT_EQ(udPage->position(), 2);
    EXPECT_EQ(control<QLineEdit>(w, "edPage")->text(), QStringLiteral("2"));
    EXPECT_FALSE(w.transport().isPlaying());

    // Another ringing, then this one again: it starts from its beginning.
    cbCommon->setCurrentIndex(1);
    w.cbCommonChange();
    cbCommon->setCurrentIndex(2);
    w.cbCommonChange();
    EXPECT_EQ(tbProgress->value(), 0);
    EXPECT_EQ(udPage->position(), 1);
}

// A list ringing loaded through the chooser: its name in the title, its
// ensemble applied and stored, its body as the common score, chosen in
// cbCommon when offered there, playing, and the chooser closed.
TEST_F(ChooserWindow, ListRingingLoadsThroughTheChooser) {
    const QString custom = program.dir() + QStringLiteral("Custom/");
    QDir().mkpath(custom);
    writeTextLines(custom + QStringLiteral("list.kli"), {QStringLiteral("Длинный")});
    writeTextLines(custom + QStringLiteral("Длинный.kol"),
                   {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                    QStringLiteral("Длинный"), QStringLiteral("Звон для проверки"), QStringLiteral("200"),
                    QStringLiteral("s1,m1"), QString(), QStringLiteral("b1")});
    TfrmMain& w = startWith({});
    QString description;
    QTimer::singleShot(0, &w, [&] {
        description = w.loader().selSound()->mDesc->toPlainText();
        w.loader().selSound()->btnLoad->click();
    });
    w.nLoadSoundsClick();
    EXPECT_EQ(description, QStringLiteral("Звон для проверки\n\nДлинный"));
    EXPECT_FALSE(w.loader().selSound()->isVisible());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - Длинный"));
    EXPECT_EQ(w.ensemble().bellsText(), QStringLiteral("111110000000000"));
    EXPECT_EQ(w.ensemble().typesText(), QStringLiteral("bbmssnnnnnnnnnn"));
    EXPECT_TRUE(program.settingsText().contains(QStringLiteral("Types=bbmssnnnnnnnnnn")));
    EXPECT_EQ(w.commonScoreSize(), 3);
    EXPECT_EQ(w.transport().sequencerInterval(), 200);
    EXPECT_EQ(control<QComboBox>(w, "cbCommon")->currentText(), QStringLiteral("Длинный"));
    EXPECT_EQ(control<TUpDown>(w, "udPage")->max(), 1);
    EXPECT_EQ(control<QSlider>(w, "tbProgress")->maximum(), 3);
    EXPECT_TRUE(w.transport().isPlaying());
    w.btnStopClick();
}
