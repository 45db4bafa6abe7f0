// Saving the loaded ringing as sound: onsets on the column grid with the
// window's tempo and group switches, FLAC, and nothing left by a cancelled
// or impossible render.

#include "output/SoundExport.h"
#include "OutputWindow.h"
#include "playback/TransportPanel.h"
#include "playback/audio/AudioEngine.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTemporaryDir>

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kClickFrames = 2000;

// The level each bell's click starts with: distinct per bell, large enough
// to survive 16-bit output after the bus gain.
float clickLevel(int bell) {
    return 0.02f * static_cast<float>(bell + 1);
}

struct Sound {
    int channels = 0, rate = 0, format = 0;
    std::vector<float> values;
};

Sound readSound(const QString& path) {
    Sound sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        return sound;
    }
    sound.channels = info.channels;
    sound.rate = info.samplerate;
    sound.format = info.format & SF_FORMAT_TYPEMASK;
    sound.values.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, sound.values.data(), info.frames);
    sf_close(file);
    return sound;
}

// (frame, bell) of every click start on the left channel.
std::vector<std::pair<long, int>> onsets(const Sound& sound) {
    std::vector<std::pair<long, int>> found;
    float previous = 0.0f;
    for (std::size_t i = 0; i < sound.values.size(); i += static_cast<std::size_t>(sound.channels)) {
        const float value = sound.values[i];
        if (value != 0.0f && previous == 0.0f) {
            const float level = value / audio::kRingingBusGain;
            found.emplace_back(static_cast<long>(i) / sound.channels,
                               static_cast<int>(std::lround(level / 0.02f)) - 1);
        }
        previous = value;
    }
    return found;
}

class SoundExportWindow : public OutputWindow {
protected:
    void SetUp() override {
        OutputWindow::SetUp();
        ASSERT_TRUE(m_out.isValid());
        // Each bell's sample: a flat click of its own level, then silence.
        const QString folder = program.dir() + QStringLiteral("Sound/Model1/Stereo/");
        for (int bell = 0; bell < 15; ++bell) {
            SF_INFO info{};
            info.samplerate = 48000;
            info.channels = 1;
            info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
            std::vector<float> click(kClickFrames, 0.0f);
            std::fill(click.begin(), click.begin() + 10, clickLevel(bell));
            const QByteArray path = QFile::encodeName(
                folder + QStringLiteral("bell%1.wav").arg(bell + 1, 2, 10, QLatin1Char('0')));
            SNDFILE* file = sf_open(path.constData(), SFM_WRITE, &info);
            ASSERT_NE(file, nullptr);
            sf_writef_float(file, click.data(), kClickFrames);
            sf_close(file);
        }
    }
    QString outPath(const QString& name) const { return m_out.path() + u'/' + name; }

    // Starts the render and waits for its end; the outcome and error.
    std::pair<bool, QString> render(const QString& path, bool cancelAtOnce = false) {
        SoundExport& sound = frm->output()->soundExport();
        std::pair<bool, QString> outcome{false, QStringLiteral("never finished")};
        bool over = false;
        const QMetaObject::Connection connection =
            QObject::connect(&sound, &SoundExport::finished, frm.get(), [&](bool ok, const QString& error) {
                outcome = {ok, error};
                over = true;
            });
        QString error;
        if (sound.start(path, &error)) {
            if (cancelAtOnce) {
                sound.cancel();
            }
            waitFor([&] { return over; });
        } else {
            outcome = {false, error};
        }
        QObject::disconnect(connection);
        return outcome;
    }

    QTemporaryDir m_out;
};

// s1 = bell 5, m1 = bell 3, b1 = bell 0, at the ringing's own 100 ms: column
// c on frame c x 4800. With the small group's box cleared its strikes are gone.
TEST_F(SoundExportWindow, OnsetsOnTheGridWithTheGroupSwitches) {
    writeCommonList({{QStringLiteral("Короткий"), 7, 100}});
    start();
    choose(1);
    ASSERT_EQ(frm->transport().sequencerInterval(), 100);
    const auto [ok, error] = render(outPath(QStringLiteral("all.wav")));
    ASSERT_TRUE(ok) << error.toStdString();
    const Sound all = readSound(outPath(QStringLiteral("all.wav")));
    EXPECT_EQ(all.channels, 2);
    EXPECT_EQ(all.rate, 48000);
    const std::vector<std::pair<long, int>> expected = {{0, 5},     {4800, 3},  {9600, 0}, {14400, 5},
                                                        {19200, 3}, {24000, 0}, {28800, 5}};
    EXPECT_EQ(onsets(all), expected);
    EXPECT_GE(all.values.size() / 2, std::size_t{28800 + kClickFrames});

    control<QCheckBox>(*frm, "cbSmall")->setChecked(false);
    const auto [silencedOk, silencedError] = render(outPath(QStringLiteral("no small.flac")));
    ASSERT_TRUE(silencedOk) << silencedError.toStdString();
    const Sound flac = readSound(outPath(QStringLiteral("no small.flac")));
    EXPECT_EQ(flac.format, SF_FORMAT_FLAC);
    EXPECT_EQ(onsets(flac),
              (std::vector<std::pair<long, int>>{{4800, 3}, {9600, 0}, {19200, 3}, {24000, 0}}));
    // Only the two finished files: no temporary file stays beside them.
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

// A cancelled render leaves no file (and an older file as it was); without a
// ringing nothing starts; an unwritable place fails with the reason. The
// offered file name follows the loaded ringing.
TEST_F(SoundExportWindow, CancelledOrImpossibleRendersLeaveNothing) {
    writeCommonList({{QStringLiteral("Длинный"), 6000, 50}});
    start();
    SoundExport& sound = frm->output()->soundExport();
    QString error;
    EXPECT_FALSE(sound.start(outPath(QStringLiteral("none.wav")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(sound.suggestedFileName(), QStringLiteral("Звон.wav"));

    choose(1);
    EXPECT_EQ(sound.suggestedFileName(), QStringLiteral("Длинный.wav"));
    const auto [ok, cancelError] = render(outPath(QStringLiteral("long.wav")), true);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(cancelError.isEmpty()) << cancelError.toStdString();
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    const auto [failed, failError] = render(outPath(QStringLiteral("no such folder/out.wav")));
    EXPECT_FALSE(failed);
    EXPECT_TRUE(failError.contains(QStringLiteral("no such folder"))) << failError.toStdString();
    EXPECT_TRUE(failError.endsWith(QStringLiteral(": такой папки нет"))) << failError.toStdString();
    EXPECT_FALSE(sound.isRunning());
}

// Longer than four hours (15,000 columns at 1 s): refused before anything
// starts, with the ringing's length in the reason.
TEST_F(SoundExportWindow, ARingingOverFourHoursIsRefused) {
    writeCommonList({{QStringLiteral("Долгий"), 15000, 1000}});
    start();
    choose(1);
    SoundExport& sound = frm->output()->soundExport();
    QString error;
    EXPECT_FALSE(sound.start(outPath(QStringLiteral("long.wav")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("4:10:00")) && error.contains(QStringLiteral("4 ч")))
        << error.toStdString();
    EXPECT_FALSE(sound.isRunning());
    EXPECT_TRUE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// The menu command into a folder that does not exist: the warning comes up
// and stays the window the user answers. The progress dialog of the run is
// gone for good, so its delayed showing cannot cover the warning.
TEST_F(SoundExportWindow, TheFailureWarningIsNotCoveredByTheProgressDialog) {
    writeCommonList({{QStringLiteral("Короткий"), 7, 100}});
    start();
    choose(1);
    const QString target = outPath(QStringLiteral("no such folder/out.wav"));
    QTimer::singleShot(0, frm.get(), [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(target);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog checks the name as its Save button does
    });
    QString warning;
    bool progressShown = false;
    bool answered = false;
    // Well past the progress dialog's delay of 300 ms.
    QTimer::singleShot(1000, frm.get(), [&] {
        for (const QProgressDialog* progress : frm->findChildren<QProgressDialog*>()) {
            progressShown = progressShown || progress->isVisible();
        }
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            warning = box->text();
            QKeyEvent returnKey(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(box, &returnKey);
            answered = !box->isVisible();
        }
        // Whatever is still open is closed, so that the test ends.
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
                dialog->reject();
            }
        }
    });
    frm->output()->nSaveSoundClick();
    waitFor([&] { return !frm->output()->soundExport().isRunning() && !QApplication::activeModalWidget(); });
    EXPECT_FALSE(progressShown);
    EXPECT_TRUE(warning.contains(QStringLiteral("такой папки нет"))) << warning.toStdString();
    EXPECT_TRUE(answered);
}

} // namespace
