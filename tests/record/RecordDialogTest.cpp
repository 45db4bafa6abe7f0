// The recording dialog in the real main window, offscreen: keys go through
// the application's key hook, time comes from a clock the test moves.

#include "support/MainWindowTest.h"

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "bells/BellsPanel.h"
#include "bells/KeyboardRingingHook.h"
#include "input/KeyStrikeNotifier.h"
#include "playback/TestSamples.h"
#include "playback/TransportPanel.h"
#include "playback/audio/AudioEngine.h"
#include "record/ScoreEditor.h"
#include "record/TfrmRec.h"
#include "ringing/RingingFiles.h"
#include "ringing/RingingText.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// Bells 10..14 selected, grouped "221": big {10}, middle {11, 12}, small
// {13, 14}. Keys: bell i rings from the letter 'A' + i.
const QString kFiveBells = QStringLiteral("000000000011111");

class RecordDialog : public MainWindowTest {
protected:
    TfrmRec& open(const QString& bells = kFiveBells, const QString& types = QStringLiteral("nnnnnnnnnnbmmss"),
                  int interval = 500) {
        program.writeSettings(
            {QStringLiteral("[Serial]"), QStringLiteral("Bells=") + bells, QStringLiteral("Types=") + types});
        TfrmMain& w = startWith({});
        w.show();
        QDeadlineTimer deadline(2000);
        while (!(w.windowHandle() && w.windowHandle()->isExposed()) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        w.transport().setSequencerInterval(interval);
        w.bells().keyboard().keyStrikeNotifier().setClock([this] { return clock; });
        TfrmRec& rec = *w.frmRec();
        rec.setMessenger([this](QWidget*, const QString& text) { messages << text; });
        rec.setFileChooser([this](QWidget*, const QString&) {
            ++chooserRuns;
            return chosen;
        });
        w.nRecClick();
        return rec;
    }

    // A key press as the display server delivers it, with its own timestamp,
    // to the window the user works in: the recording dialog while it is open.
    void press(int qtKey, std::uint64_t timestamp = 0) {
        QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        event.setTimestamp(timestamp);
        QWidget* active = QApplication::activeWindow();
        QCoreApplication::sendEvent(active ? active->windowHandle() : frm->windowHandle(), &event);
    }

    std::optional<RingingDocument> savedFile(const QString& path) const {
        const std::optional<QStringList> lines = readTextLines(path);
        if (!lines) {
            return std::nullopt;
        }
        std::optional<RingingDocument> doc = parseRingingDocument(*lines, kUserRingingPreambleLines);
        if (doc) {
            DecodeRingingText(doc->body);
        }
        return doc;
    }

    std::int64_t clock = 0;
    QStringList messages;
    std::optional<QString> chosen;
    int chooserRuns = 0;
};

// Fewer than five bells: the message, and no dialog.
TEST_F(RecordDialog, NeedsFiveBells) {
    TfrmRec& rec = open(QStringLiteral("000000000001111"), QStringLiteral("nnnnnnnnnnnmmss"));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Необходимо выбрать не менее 5 колоколов")});
    EXPECT_FALSE(rec.isVisible());
    EXPECT_TRUE(frm->bells().keyboard().keyboardRinging());
}

// Every button shows its whole label: «Выйти без сохранения» was cut to
// «ыйти без сохранени» in a dialog of fixed width.
TEST_F(RecordDialog, ButtonLabelsAreWhole) {
    TfrmRec& rec = open();
    ASSERT_TRUE(rec.isVisible());
    for (const char* name : {"btnEdit", "btnSaveExit", "btnNoSaveExit"}) {
        const auto* button = rec.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_GE(button->width(), button->sizeHint().width()) << name << ": " << button->text().toStdString();
    }
    EXPECT_EQ(rec.findChild<QPushButton*>(QStringLiteral("btnNoSaveExit"))->text(),
              QStringLiteral("Выйти без сохранения"));
}

// The whole way: open, ring, tick, change the selection with Space, save as
// "A.UKL" (which gets ".ukl" appended); the file holds the ensemble at save
// time, the interval and one line per period in key order.
TEST_F(RecordDialog, RecordsAndSaves) {
    TfrmRec& rec = open();
    ASSERT_TRUE(rec.isVisible());
    EXPECT_EQ(rec.windowTitle(), QStringLiteral("Запись звона"));
    EXPECT_EQ(rec.lblNumBells->text(), QStringLiteral("Количество колоколов: 5"));
    EXPECT_EQ(rec.lblRecStatus->text(), QStringLiteral("Состояние записи: Остановлено"));
    EXPECT_FALSE(rec.pnlSaveOptions->isVisible());
    EXPECT_FALSE(frm->bells().keyboard().keyboardRinging()); // ready: keys do nothing yet

    clock = 1000;
    rec.btnRecordClick();
    EXPECT_EQ(rec.lblRecStatus->text(), QStringLiteral("Состояние записи: Запись"));
    clock = 1100;
    press(Qt::Key_L); // bell 11: m2
    clock = 1150;
    press(Qt::Key_O); // bell 14: s1
    clock = 1600;
    rec.mmRecTimerTimer();
    EXPECT_EQ(rec.lblPeriod->text(), QStringLiteral("Период: 1"));
    clock = 1700;
    press(Qt::Key_K);     // bell 10: b1, now the current bell
    press(Qt::Key_Space); // unselects bell 10: the preamble is taken at save time
    press(Qt::Key_Left);  // records nothing
    clock = 2050;
    rec.mmTimeTimerTimer();
    EXPECT_EQ(rec.lblTime->text(), QStringLiteral("Время записи: 0:00:01"));

    QTemporaryDir dir;
    chosen = dir.path() + QStringLiteral("/A.UKL");
    clock = 2100;
    rec.btnSaveExitClick();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    EXPECT_FALSE(rec.isVisible());
    EXPECT_TRUE(frm->bells().keyboard().keyboardRinging());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/A.UKL")));
    const std::optional<RingingDocument> doc = savedFile(dir.path() + QStringLiteral("/A.UKL.ukl"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->bells, QStringLiteral("000000000001111"));
    EXPECT_EQ(doc->types, frm->ensemble().typesText());
    EXPECT_EQ(doc->name, QStringLiteral("Записанный звон"));
    EXPECT_EQ(doc->body, (QStringList{"500", "m2,s1", "b1"}));
    EXPECT_EQ(rec.edFName->text(), *chosen);
}

// Save and exit before any Start does nothing, also after an earlier
// recording in a previous opening; right after Start it writes the header only.
TEST_F(RecordDialog, SaveBeforeStartAndRightAfterIt) {
    TfrmRec& rec = open();
    QTemporaryDir dir;
    chosen = dir.path() + QStringLiteral("/r");
    rec.btnSaveExitClick();
    EXPECT_EQ(chooserRuns, 0);
    EXPECT_TRUE(rec.isVisible());

    clock = 500;
    rec.btnRecordClick();
    press(Qt::Key_O);
    clock = 600;
    rec.btnSaveExitClick();
    const std::optional<RingingDocument> doc = savedFile(dir.path() + QStringLiteral("/r.ukl"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->body, QStringList{"500"});

    frm->nRecClick();
    ASSERT_TRUE(rec.isVisible());
    rec.btnSaveExitClick();
    EXPECT_EQ(chooserRuns, 1);
}

// A cancelled chooser abandons the save (it never overwrites the last file
// without asking); a missing folder gives the message; both keep the lines.
TEST_F(RecordDialog, CancelAndMissingFolderKeepTheRecording) {
    TfrmRec& rec = open();
    QTemporaryDir dir;
    rec.edFName->setText(dir.path() + QStringLiteral("/earlier.ukl"));
    clock = 0;
    rec.btnRecordClick();
    press(Qt::Key_O);
    clock = 1000;
    chosen.reset();
    rec.btnSaveExitClick();
    EXPECT_TRUE(rec.isVisible());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/earlier.ukl")));
    EXPECT_EQ(rec.recorder().state(), Recorder::State::Stopped);

    chosen = dir.path() + QStringLiteral("/missing/x");
    rec.btnSaveExitClick();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Указанная директория не найдена")});
    EXPECT_TRUE(rec.isVisible());
    EXPECT_EQ(rec.recorder().lines(), (QStringList{"s1", ""}));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// Key events handled late (the window was busy while the period timer
// fired) keep the columns of the moments they were pressed.
TEST_F(RecordDialog, LateKeyEventsKeepTheirColumnsByTimestamp) {
    TfrmRec& rec = open();
    clock = 10'000;
    rec.btnRecordClick();
    clock = 10'010;
    press(Qt::Key_L, 5'000); // delivered at once: the display's clock is ours - 5'010
    clock = 11'600;          // the window was busy for a while
    rec.mmRecTimerTimer();
    EXPECT_EQ(rec.lblPeriod->text(), QStringLiteral("Период: 3"));
    press(Qt::Key_O, 5'300); // pressed at 10'310: period 0
    press(Qt::Key_K, 6'450); // pressed at 11'460: period 2
    clock = 12'000;
    rec.btnStopRecClick();
    EXPECT_EQ(rec.recorder().lines(), (QStringList{"m2,s1", "", "b1", ""}));
}

// The close button stops the recording, and keyboard ringing comes back on.
TEST_F(RecordDialog, CloseButtonStops) {
    TfrmRec& rec = open();
    rec.btnRecordClick();
    rec.close();
    EXPECT_FALSE(rec.isVisible());
    EXPECT_FALSE(rec.recorder().isRecording());
    EXPECT_TRUE(frm->bells().keyboard().keyboardRinging());
}

// An ensemble with ten bells in a group (hand-edited) cannot be recorded.
TEST_F(RecordDialog, GroupOfTenIsRefusedAtStart) {
    TfrmRec& rec = open(QStringLiteral("111111111111111"), QStringLiteral("bbbbbssssssssss"));
    ASSERT_TRUE(rec.isVisible());
    rec.btnRecordClick();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains(QStringLiteral("больше девяти")));
    EXPECT_EQ(rec.recorder().state(), Recorder::State::Ready);
    EXPECT_FALSE(frm->bells().keyboard().keyboardRinging());
}

// A strike that has no token (Space left too few bells for groups) is not
// dropped silently: the dialog says which bell was not recorded.
TEST_F(RecordDialog, UnwritableStrikesAreReported) {
    TfrmRec& rec = open();
    rec.btnRecordClick();
    EXPECT_TRUE(rec.lblNotice->isHidden());
    press(Qt::Key_N);     // bell 13, now current
    press(Qt::Key_Space); // four bells: no groups any more
    press(Qt::Key_O);     // bell 14
    EXPECT_FALSE(rec.lblNotice->isHidden());
    EXPECT_EQ(rec.lblNotice->text(), QStringLiteral("Колокол 1 не записан: он не входит ни в одну группу."));
}

// A recorded file opens in the window, plays, and the renderer sounds the
// same bells on the same columns.
TEST_F(RecordDialog, RecordedFileOpensPlaysAndRenders) {
    TfrmRec& rec = open();
    clock = 0;
    rec.btnRecordClick();
    press(Qt::Key_L);
    press(Qt::Key_O);
    clock = 1100;
    press(Qt::Key_K);
    clock = 1500;
    QTemporaryDir dir;
    chosen = dir.path() + QStringLiteral("/rung");
    rec.btnSaveExitClick();
    const QString file = dir.path() + QStringLiteral("/rung.ukl");
    ASSERT_TRUE(QFileInfo::exists(file));

    frm->nDisselectAllClick();
    frm->OpenUserRinging(file);
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("Campanix 1.2 - Записанный звон"));
    EXPECT_EQ(frm->ensemble().bellsText(), kFiveBells);
    EXPECT_EQ(frm->commonScoreSize(), 3);
    EXPECT_EQ(frm->commonScoreLine(0), QStringLiteral("m2,s1"));
    EXPECT_EQ(frm->commonScoreLine(2), QStringLiteral("b1"));
    EXPECT_TRUE(frm->transport().isPlaying());
    frm->btnStopClick();

    const QString tool = QStringLiteral(CAMPANIX_RUNTIME_DIR) + QStringLiteral("/campanix-render");
    if (!QFileInfo(tool).isExecutable()) {
        GTEST_SKIP() << "campanix-render is not built";
    }
    const QString mono = program.dir() + QStringLiteral("Sound/Model1/Mono/");
    QDir().mkpath(mono);
    for (int bell = 0; bell < kBellCount; ++bell) {
        ASSERT_TRUE(
            testsamples::writeWav(mono + QStringLiteral("bell%1.wav").arg(bell + 1, 2, 10, QLatin1Char('0')),
                                  testsamples::markedClick(bell, 1200), 1));
    }
    QProcess render;
    const QString out = dir.path() + QStringLiteral("/rung.wav");
    render.start(tool, {file, out, QStringLiteral("--mono"), QStringLiteral("--float"),
                        QStringLiteral("--data-dir"), program.dir()});
    ASSERT_TRUE(render.waitForFinished(60000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    // m2 = bell 11 and s1 = bell 14 on column 0; b1 = bell 10 on column 2
    // (2 x 500 ms at 48 kHz).
    const std::vector<std::pair<std::size_t, int>> expected = {{0, (1 << 11) | (1 << 14)}, {48000, 1 << 10}};
    EXPECT_EQ(testsamples::markedOnsets(testsamples::readWav(out), audio::kRingingBusGain), expected);
}

} // namespace

namespace {

// "Редактировать" hands the recording to the score editor unsaved: the
// staves show it, the title says it is unsaved, and the dialog is gone.
TEST_F(RecordDialog, EditOpensTheRecordingInTheEditor) {
    TfrmRec& rec = open();
    clock = 1000;
    rec.btnRecordClick();
    clock = 1100;
    press(Qt::Key_O); // bell 14: s1
    clock = 2100;
    rec.mmRecTimerTimer();
    rec.btnEditClick();
    EXPECT_FALSE(rec.isVisible());
    EXPECT_TRUE(frm->bells().keyboard().keyboardRinging());
    EXPECT_TRUE(frm->editor().isEditing());
    EXPECT_TRUE(frm->editor().isModified());
    EXPECT_EQ(frm->editor().ringing().body(), (QStringList{"500", "s1", ""}));
    EXPECT_EQ(frm->commonScoreLine(0), QStringLiteral("s1"));
    EXPECT_TRUE(frm->windowTitle().endsWith(QStringLiteral(" *")));
    frm->editor().setSaveQuestion([](const QString&) { return ScoreEditor::SaveAnswer::Discard; });
}

} // namespace
