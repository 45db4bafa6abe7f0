// The exported site with sound: the player's cursor tables against the score
// layout, the sound against the ringing, a ringing too long for sound, a
// cancelled export, a full disk, the menu's export, and the page played in a
// real browser opened from its folder.

#include "OutputWindow.h"
#include "output/HtmlExport.h"
#include "output/HtmlPages.h"
#include "output/HtmlPlayer.h"
#include "score/ScoreLayout.h"
#include "support/FileSizeLimit.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>

#include <sndfile.h>

namespace {

class HtmlSite : public OutputWindow {
protected:
    QString exportDir() const { return program.dir() + QStringLiteral("html"); }

    static QString readPage(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? decode1251(file.readAll()) : QString();
    }

    // The player's data written into a page.
    static QJsonObject playerData(const QString& page) {
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^var cx = (\\{.*\\});\\r$"),
                                                                 QRegularExpression::MultilineOption)
                                                  .match(page);
        return match.hasMatch() ? QJsonDocument::fromJson(match.captured(1).toUtf8()).object()
                                : QJsonObject();
    }

    bool runExport(const HtmlExportOptions& options) {
        frm->output()->htmlExport().start(options);
        return waitFor([this] { return !frm->output()->htmlExport().isRunning(); }, 60000);
    }

    QSize staffSize(const char* name) const { return control<QFrame>(*frm, name)->contentsRect().size(); }

    // Every page the index reaches, and every link and picture of them,
    // must be there; the links as the site has always written them.
    static QStringList brokenLinks(const QString& folder) {
        QStringList broken;
        QStringList pages{folder + QStringLiteral("/index.html")};
        QSet<QString> seen;
        const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
        while (!pages.isEmpty()) {
            const QString page = QFileInfo(pages.takeFirst()).absoluteFilePath();
            if (seen.contains(page)) {
                continue;
            }
            seen.insert(page);
            if (!QFileInfo(page).isFile()) {
                broken << page;
                continue;
            }
            const QString text = readPage(page);
            for (auto it = reference.globalMatch(text); it.hasNext();) {
                QString target = it.next().captured(1);
                target.replace(u'\\', u'/');
                const QString path = QFileInfo(page).absolutePath() + u'/' + target;
                if (target.endsWith(QStringLiteral(".html"))) {
                    pages << path;
                } else if (!QFileInfo(path).isFile()) {
                    broken << path;
                }
            }
        }
        return broken;
    }
};

struct Sound {
    std::int64_t frames = 0;
    int rate = 0;
    int format = 0;
};

Sound soundOf(const QString& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        return {};
    }
    sf_close(file);
    return {info.frames, info.samplerate, info.format & SF_FORMAT_TYPEMASK};
}

// Ringings of one page, of three (the last short) and of exactly two full
// pages (the 63/64 boundary): every page carries the player, with a cursor
// place per column of each score page it shows where the window draws the
// bar, and the page above the footer block is the one sites always had.
// Each ringing's sound is MP3, as long as its columns plus the ring-out,
// small enough that three minutes stay under 3 MB.
TEST_F(HtmlSite, EveryPageCarriesThePlayerAndEveryRingingItsSound) {
    const QList<Ringing> ringings{
        {QStringLiteral("Один"), 40}, {QStringLiteral("Три"), 150}, {QStringLiteral("Два"), 128, 100}};
    writeCommonList(ringings);
    start({QStringLiteral("html")});
    ASSERT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    ASSERT_TRUE(runExport({}));
    EXPECT_TRUE(frm->output()->htmlExport().failedPath().isEmpty());

    const QSize small = staffSize("pnlSmallBells");
    const QSize staves[3] = {small, staffSize("pnlMiddleBells"), staffSize("pnlBigBells")};
    const QString footerEnd = QStringLiteral("</div></body></html>\r\n");
    for (int k = 1; k <= ringings.size(); ++k) {
        const Ringing& ringing = ringings[k - 1];
        const int pages = (ringing.columns + 63) / 64;
        for (int p = 1; p <= pages; p += 2) {
            const QString where = QStringLiteral("%1/%2.html").arg(k).arg(p);
            const QString page = readPage(exportDir() + u'/' + where);
            const QString plain = htmlpages::scorePage(ringing.name, p, pages);
            EXPECT_TRUE(page.startsWith(plain.chopped(footerEnd.size()))) << where.toStdString();
            EXPECT_TRUE(page.endsWith(footerEnd)) << where.toStdString();
            const QJsonObject data = playerData(page);
            ASSERT_FALSE(data.isEmpty()) << where.toStdString();
            EXPECT_EQ(data[QStringLiteral("sound")].toString(), QStringLiteral("sound.mp3"));
            EXPECT_EQ(data[QStringLiteral("ms")].toInt(), ringing.interval);
            EXPECT_EQ(data[QStringLiteral("columns")].toInt(), ringing.columns);
            for (int g = 0; g < 3; ++g) {
                const QJsonArray bar = data[QStringLiteral("bars")].toArray()[g].toArray();
                EXPECT_EQ(bar, (QJsonArray{4, staves[g].height() - 8})) << where.toStdString() << " " << g;
            }
            const QJsonObject places = data[QStringLiteral("places")].toObject();
            EXPECT_EQ(places.size(), p < pages ? 2 : 1) << where.toStdString();
            for (int shown = p; shown <= std::min(p + 1, pages); ++shown) {
                const QJsonArray table = places[QString::number(shown)].toArray();
                const int columns = std::min(64, ringing.columns - (shown - 1) * 64);
                ASSERT_EQ(table.size(), columns) << where.toStdString() << " page " << shown;
                for (int n = 0; n < columns; ++n) {
                    const QJsonArray place = table[n].toArray();
                    EXPECT_EQ(place[0].toInt(), scoreCursorLeft((shown - 1) * 64 + n, small.width()))
                        << where.toStdString() << " page " << shown << " column " << n;
                    EXPECT_EQ(place[1].toInt(), scoreCursorSize(small).width());
                }
            }
        }
        const QString soundPath = exportDir() + QStringLiteral("/%1/sound.mp3").arg(k);
        const Sound sound = soundOf(soundPath);
        ASSERT_EQ(sound.format, SF_FORMAT_MPEG) << k;
        const std::int64_t lastOnset =
            std::int64_t(ringing.columns - 1) * ringing.interval * sound.rate / 1000;
        EXPECT_GT(sound.frames, lastOnset) << k;
        EXPECT_LT(sound.frames, lastOnset + 2 * sound.rate) << k;
        const double seconds = double(sound.frames) / sound.rate;
        EXPECT_LT(QFileInfo(soundPath).size() / seconds * 180.0, 3e6) << k;
    }
    EXPECT_TRUE(brokenLinks(exportDir()).isEmpty()) << brokenLinks(exportDir()).join('\n').toStdString();
}

// A ringing longer than the sound's limit gets its pages without sound,
// saying why, and a sound left there by an earlier export goes; the others
// keep theirs.
TEST_F(HtmlSite, ARingingTooLongForSoundSaysSo) {
    writeCommonList({{QStringLiteral("Короткий"), 40}, {QStringLiteral("Долгий"), 70, 1000}});
    QDir().mkpath(exportDir() + QStringLiteral("/2"));
    QFile stale(exportDir() + QStringLiteral("/2/sound.mp3"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("an earlier ringing's sound");
    stale.close();
    start({QStringLiteral("html")});
    frm->output()->htmlExport().setMaxSoundMinutes(1);
    ASSERT_TRUE(runExport({}));
    EXPECT_TRUE(QFileInfo::exists(exportDir() + QStringLiteral("/1/sound.mp3")));
    EXPECT_FALSE(QFileInfo::exists(exportDir() + QStringLiteral("/2/sound.mp3")));
    EXPECT_EQ(frm->output()->htmlExport().ringingsWithoutSound(), 1);
    const QJsonObject data = playerData(readPage(exportDir() + QStringLiteral("/2/1.html")));
    EXPECT_EQ(data[QStringLiteral("sound")].toString(), QString());
    const QString note = data[QStringLiteral("note")].toString();
    EXPECT_TRUE(note.startsWith(QStringLiteral("Звук не записан: звон длится 0:01:10")))
        << note.toStdString();
    EXPECT_TRUE(note.contains(QStringLiteral("не длиннее 1 мин."))) << note.toStdString();
    // Said in the page itself, script or not.
    EXPECT_TRUE(readPage(exportDir() + QStringLiteral("/2/1.html"))
                    .contains(QStringLiteral(">") + note + QStringLiteral("</span>")));
}

// Cancelled while the second of three ringings is written: the index lists
// the ringing written whole, every page it reaches is there, and the
// ringing chosen before the export is chosen again.
TEST_F(HtmlSite, ACancelledExportLeavesASiteWhosePagesAllWork) {
    writeCommonList(
        {{QStringLiteral("Один"), 40}, {QStringLiteral("Два"), 200}, {QStringLiteral("Три"), 40}});
    start();
    choose(3);
    QTemporaryDir site;
    HtmlExport& exporter = frm->output()->htmlExport();
    QObject::connect(&exporter, &HtmlExport::ringingStarted, frm.get(),
                     [&](const QString&, int ringing, int) {
                         if (ringing == 2) {
                             QTimer::singleShot(0, &exporter, &HtmlExport::cancel);
                         }
                     });
    bool completed = true;
    QObject::connect(&exporter, &HtmlExport::finished, [&](bool ok) { completed = ok; });
    HtmlExportOptions options;
    options.folder = site.path();
    options.ringings = HtmlExportOptions::Ringings::Offered;
    options.restoreChoice = true;
    ASSERT_TRUE(runExport(options));
    EXPECT_FALSE(completed);
    EXPECT_EQ(readPage(site.path() + QStringLiteral("/index.html")),
              htmlpages::indexPage({QStringLiteral("Один")}));
    EXPECT_TRUE(brokenLinks(site.path()).isEmpty()) << brokenLinks(site.path()).join('\n').toStdString();
    EXPECT_TRUE(QFileInfo::exists(site.path() + QStringLiteral("/1/sound.mp3")));
    EXPECT_FALSE(QFileInfo::exists(site.path() + QStringLiteral("/2/sound.mp3")));
    // No half-written sound is left beside the pages.
    EXPECT_EQ(QDir(site.path() + QStringLiteral("/2")).entryList({QStringLiteral("*.tmp*")}, QDir::Files),
              QStringList());
    EXPECT_EQ(common()->currentIndex(), 3);
    EXPECT_TRUE(frm->statusBar()->currentMessage().contains(QStringLiteral("Записано звонов: 1 из 3")))
        << frm->statusBar()->currentMessage().toStdString();
}

// A disk that fills up while the sound is written ends the export with the
// message of any other write, and leaves no sound behind.
TEST_F(HtmlSite, AFullDiskStopsTheExport) {
    writeCommonList({{QStringLiteral("Один"), 300}});
    start({QStringLiteral("html")});
    const QString soundPath = exportDir() + QStringLiteral("/1/sound.mp3");
    {
        const FileSizeLimit limit(200 * 1024);
        ASSERT_TRUE(runExport({}));
    }
    const QString message = frm->statusBar()->currentMessage();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Экспорт в HTML прерван: не удалось записать ") +
                                   QDir::toNativeSeparators(soundPath)))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Записано звонов: 0 из 1"))) << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(soundPath));
    EXPECT_EQ(QDir(exportDir() + QStringLiteral("/1")).entryList({QStringLiteral("*.tmp*")}, QDir::Files),
              QStringList());
}

// «Файл > Экспорт в HTML ...» asks for the folder, the ringings and the
// sound (on by default), and writes the loaded ringing alone as ringing 1,
// leaving it loaded.
TEST_F(HtmlSite, TheMenuExportsTheLoadedRinging) {
    writeCommonList({{QStringLiteral("Один"), 40}, {QStringLiteral("Два"), 70}});
    start();
    choose(2);
    QTemporaryDir site;
    auto* action = control<QAction>(*frm, "nExportHtml");
    ASSERT_EQ(action->text(), QStringLiteral("Экспорт в HTML ..."));
    EXPECT_TRUE(control<QMenu>(*frm, "mFile")->actions().contains(action));
    bool defaults = false;
    QTimer::singleShot(0, frm.get(), [&] {
        auto* dialog = frm->findChild<QDialog*>(QStringLiteral("dlgExportHtml"));
        ASSERT_NE(dialog, nullptr);
        defaults = control<QCheckBox>(*dialog, "cbExportSound")->isChecked() &&
                   control<QRadioButton>(*dialog, "rbExportLibrary")->isChecked() &&
                   control<QRadioButton>(*dialog, "rbExportLoaded")->isEnabled();
        control<QLineEdit>(*dialog, "edExportFolder")->setText(site.path());
        control<QRadioButton>(*dialog, "rbExportLoaded")->setChecked(true);
        dialog->findChild<QDialogButtonBox*>()->buttons().first()->click();
    });
    action->trigger();
    ASSERT_TRUE(waitFor([this] { return !frm->output()->htmlExport().isRunning(); }, 60000));
    EXPECT_TRUE(defaults);
    EXPECT_EQ(readPage(site.path() + QStringLiteral("/index.html")),
              htmlpages::indexPage({QStringLiteral("Два")}));
    EXPECT_TRUE(QFileInfo::exists(site.path() + QStringLiteral("/1/sound.mp3")));
    EXPECT_TRUE(brokenLinks(site.path()).isEmpty()) << brokenLinks(site.path()).join('\n').toStdString();
    EXPECT_EQ(common()->currentIndex(), 2);
    EXPECT_EQ(frm->findChild<QDialog*>(QStringLiteral("dlgExportHtmlProgress")), nullptr);
}

// A site that cannot be written, chosen in the menu, is told in a message
// box where the user asked for it (after the question whether to replace
// the index there).
TEST_F(HtmlSite, TheMenusExportTellsItsFailure) {
    writeCommonList({{QStringLiteral("Один"), 40}});
    start();
    QTemporaryDir site;
    QDir().mkpath(site.path() + QStringLiteral("/index.html")); // a folder where the index goes
    QStringList asked;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, frm.get(), [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                asked << box->text();
                // Queued: a timer does not fire again inside its own handler,
                // and the click opens the next box.
                QAbstractButton* yes = box->button(QMessageBox::Yes);
                QMetaObject::invokeMethod(yes ? yes : box->buttons().first(), "click", Qt::QueuedConnection);
                return;
            }
        }
        if (auto* dialog = frm->findChild<QDialog*>(QStringLiteral("dlgExportHtml"));
            dialog && dialog->isVisible()) {
            control<QLineEdit>(*dialog, "edExportFolder")->setText(site.path());
            QMetaObject::invokeMethod(dialog->findChild<QDialogButtonBox*>()->buttons().first(), "click",
                                      Qt::QueuedConnection);
        }
    });
    answer.start(10);
    control<QAction>(*frm, "nExportHtml")->trigger();
    ASSERT_TRUE(waitFor([this] { return !frm->output()->htmlExport().isRunning(); }));
    QApplication::processEvents();
    ASSERT_EQ(asked.size(), 2) << asked.join('\n').toStdString();
    EXPECT_TRUE(asked[0].contains(QStringLiteral("index.html"))) << asked[0].toStdString();
    EXPECT_TRUE(asked[1].startsWith(QStringLiteral("Экспорт в HTML прерван: не удалось записать")))
        << asked[1].toStdString();
}

// The page opened from its folder in a headless browser plays: after 2 s
// the cursor stands at the column the time gives, and a click on a column
// of the second picture plays from there.
TEST_F(HtmlSite, APagePlaysInABrowserFromItsFolder) {
    if (QStandardPaths::findExecutable(QStringLiteral("chromium")).isEmpty()) {
        GTEST_SKIP() << "chromium is not installed";
    }
    writeCommonList({{QStringLiteral("Звон"), 150}});
    start({QStringLiteral("html")});
    ASSERT_TRUE(runExport({}));
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(QStringLiteral("python3"),
                {QStringLiteral(CAMPANIX_SOURCE_DIR "/tests/output/site_player_check.py"),
                 exportDir() + QStringLiteral("/1/1.html")});
    ASSERT_TRUE(check.waitForFinished(60000));
    const QString output = QString::fromUtf8(check.readAll());
    if (check.exitCode() == 77) {
        GTEST_SKIP() << output.toStdString();
    }
    EXPECT_EQ(check.exitCode(), 0) << output.toStdString();
    std::printf("%s", qPrintable(output));
}

} // namespace
