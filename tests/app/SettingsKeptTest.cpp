// The settings file through the real main window (offscreen): nothing of the
// user's settings is lost or overwritten by a start-up that ended early, a
// settings file that cannot be written, or bounds beyond the screens.

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "ringing/RingingFiles.h"
#include "ringing/RingingLoader.h"
#include "ringing/TfrmSelSound.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <stdexcept>

namespace {

// A settings file as a user's editor may leave it: LF line ends, blanks
// around "=", every section of the program.
const QByteArray kUserSettings = "[View]\nTools = 1\nBells=1\nInfo=0\nGroups=1\n"
                                 "[Form]\nLeft=10\nTop=20\nWidth=780\nHeight=576\n"
                                 "[Serial]\nBells=111110000000000\nTypes=bbmssnnnnnnnnnn\n"
                                 "[Settings]\nGrid=1\nStereo=1\nAnimate=1\nNotes=1\nView=0\nModel=0\n";

class SettingsKept : public MainWindowTest {
protected:
    QString settingsPath() const { return program.dir() + QStringLiteral("campanix.ini"); }
    void writeSettingsBytes(const QByteArray& bytes) const {
        QFile f(settingsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray settingsBytes() const {
        QFile f(settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A window whose start-up fails at the first required-file check: the
    // reporter throws, as any step may, and ends the sequence there.
    TfrmMain& startFailingAtRequiredFile() {
        frm = std::make_unique<TfrmMain>(
            [](const QString&) { throw std::runtime_error("start-up step failed"); }, program.dir(),
            QStringList{});
        return *frm;
    }
};

QRect workArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

// A start-up that ended early writes nothing back on closing, wherever it
// ended: before the settings were read (catalogue missing) or after the view
// and bounds were read but before the ensemble (a bell picture missing). The
// file stays byte for byte as it was, LF line ends and blanks included.
TEST_F(SettingsKept, StartupEndedEarlyLeavesTheFileAsItWas) {
    const std::function<void()> breakages[] = {
        [this] { program.removeCatalogue(); },
        [this] { QFile::remove(program.dir() + QStringLiteral("Images/bell01_off.bmp")); },
    };
    for (const auto& breakIt : breakages) {
        writeSettingsBytes(kUserSettings);
        breakIt();
        TfrmMain& w = startFailingAtRequiredFile();
        w.FormCloseQuery();
        EXPECT_EQ(settingsBytes(), kUserSettings);
        frm.reset();
    }
}

// A full start-up and a close without changes leave the file as it was too;
// a change writes that key and keeps the rest.
TEST_F(SettingsKept, UnchangedSettingsAreNotRewritten) {
    writeSettingsBytes(kUserSettings);
    {
        TfrmMain& w = startWith({});
        ASSERT_TRUE(reports.isEmpty()) << reports.join(u'\n').toStdString();
        w.close();
        EXPECT_EQ(settingsBytes(), kUserSettings);
        control<QCheckBox>(w, "cbGrid")->setChecked(false);
        w.close();
    }
    const QStringList lines = readTextLines(settingsPath()).value_or(QStringList{});
    EXPECT_TRUE(lines.contains(QStringLiteral("Grid=0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Tools = 1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Types=bbmssnnnnnnnnnn")));
}

// An opened ringing file's ensemble is applied even when the settings file
// cannot be written (here a folder stands where the file would be).
TEST_F(SettingsKept, UnwritableSettingsStillApplyAnOpenedEnsemble) {
    QDir().mkpath(settingsPath());
    QTemporaryDir files;
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("000000000011111"), QStringLiteral("nnnnnnnnnnbmmss"));
    const RingingWriteResult written =
        writeUserRingingFile(files.filePath(QStringLiteral("a.ukl")), ensemble, QStringLiteral("Звон"),
                             {QStringLiteral("200"), QStringLiteral("s1,b1"), QStringLiteral("m2")});
    ASSERT_TRUE(written.ok);
    TfrmMain& w = startWith({});
    w.OpenUserRinging(written.path);
    EXPECT_EQ(w.ensemble().bellsText(), QStringLiteral("000000000011111"));
    EXPECT_EQ(w.ensemble().typesText(), QStringLiteral("nnnnnnnnnnbmmss"));
    EXPECT_EQ(w.commonScoreSize(), 2);
    w.btnStopClick();
}

// Stored bounds far off the screen open the window on it with its size, and
// what is saved lies on the screen too.
TEST_F(SettingsKept, OffScreenBoundsAreBroughtBack) {
    const QRect area = workArea();
    program.writeSettings({QStringLiteral("[Form]"), QStringLiteral("Left=30000"),
                           QStringLiteral("Top=-30000"), QStringLiteral("Width=778"),
                           QStringLiteral("Height=574")});
    {
        TfrmMain& w = startWith({});
        EXPECT_TRUE(area.contains(QRect(w.pos(), w.size())));
        EXPECT_EQ(w.size(), QSize(778, 574));
        EXPECT_EQ(w.y(), area.top());
        // Moved off again while running: what is saved is on the screen.
        w.move(area.right() + 5000, area.top());
        w.close();
    }
    ProfileFile file(settingsPath());
    const int left = file.readInteger(QStringLiteral("Form"), QStringLiteral("Left"), -1);
    EXPECT_GE(left, area.left());
    EXPECT_LE(left, std::max(area.left(), area.right() + 1 - 778));
}

// The device volume is kept in [Audio] and comes back at the next start; a
// file that never had it is not given the section while the volume is full.
TEST_F(SettingsKept, VolumeIsRestored) {
    {
        TfrmMain& w = startWith({});
        w.close();
        EXPECT_FALSE(program.settingsText().contains(QStringLiteral("[Audio]")));
        control<QSlider>(w, "tbVolume")->setValue(255 - 100);
        ASSERT_EQ(w.GetDeviceVolume(), 100);
        w.close();
        frm.reset();
    }
    EXPECT_TRUE(program.settingsText().contains(QStringLiteral("[Audio]\r\nVolume=100\r\n")));
    TfrmMain& again = startWith({});
    EXPECT_EQ(again.GetDeviceVolume(), 100);
    EXPECT_EQ(control<QPushButton>(again, "btnVolume")->text(), QStringLiteral("Громкость: 100"));
    EXPECT_EQ(control<QSlider>(again, "tbVolume")->value(), 155);
}

// Titles are exactly the texts the program gives them.
TEST_F(SettingsKept, TitlesAreExact) {
    TfrmMain& w = startWith({});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - Tolvena"));
    QString titleWhileOpen;
    QString chooserTitle;
    QTimer::singleShot(0, &w, [&] {
        titleWhileOpen = w.windowTitle();
        chooserTitle = w.loader().selSound()->windowTitle();
        w.loader().selSound()->reject();
    });
    w.nLoadSoundsClick();
    EXPECT_EQ(titleWhileOpen, QStringLiteral("Campanix 1.2 - Tolvena"));
    EXPECT_EQ(chooserTitle, QStringLiteral("Выбор звона"));
    control<QComboBox>(w, "cbCommon")->setCurrentIndex(1);
    w.cbCommonChange();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Campanix 1.2 - Общий"));
}
