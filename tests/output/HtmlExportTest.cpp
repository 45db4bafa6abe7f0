// The HTML export inside the real window: the files it writes, the pictures
// and links, the state it leaves, and what ends it.

#include "output/HtmlExport.h"
#include "OutputWindow.h"
#include "output/HtmlPages.h"
#include "playback/TransportPanel.h"
#include "ui/JpegCodec.h"

#include <QDirIterator>
#include <QFile>
#include <QProgressBar>
#include <QStatusBar>

#include <algorithm>

namespace {

class HtmlExportWindow : public OutputWindow {
protected:
    QString exportDir() const { return program.dir() + QStringLiteral("html"); }

    // Every file under the export folder, relative to it, sorted.
    QStringList exportedFiles() const {
        QStringList files;
        QDirIterator it(exportDir(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            files << QDir(exportDir()).relativeFilePath(it.next());
        }
        files.sort();
        return files;
    }

    QString readPage(const QString& relative) const {
        QFile file(exportDir() + u'/' + relative);
        return file.open(QIODevice::ReadOnly) ? decode1251(file.readAll()) : QString();
    }

    bool runExport() {
        frm->btnPlayClick();
        return waitFor([this] { return !frm->output()->htmlExport().isRunning(); });
    }
};

// Ringings of one, three and four pages: the files of each folder, the
// pictures at the staves' size (one pixel narrower on odd pages), the pages
// as written for that ringing, and the window left with every bell selected
// and no ringing chosen.
TEST_F(HtmlExportWindow, WritesTheSiteOfEveryRinging) {
    writeCommonList(
        {{QStringLiteral("Один"), 40}, {QStringLiteral("Три <&>"), 150}, {QStringLiteral("Четыре"), 256}});
    // Without sound the pages are exactly the ones sites were always made of.
    start({QStringLiteral("html"), OutputController::kNoSoundFlag});
    ASSERT_TRUE(reports.isEmpty()) << reports.join('\n').toStdString();
    ASSERT_EQ(common()->count(), 4);
    // The status bar counts the ringing being written, up to the last.
    QStringList progress;
    QObject::connect(&frm->output()->htmlExport(), &HtmlExport::ringingStarted, frm.get(),
                     [&] { progress << control<QProgressBar>(*frm, "pbExport")->text(); });
    ASSERT_TRUE(runExport());
    EXPECT_EQ(progress,
              (QStringList{QStringLiteral("1 из 3"), QStringLiteral("2 из 3"), QStringLiteral("3 из 3")}));

    QStringList expected{QStringLiteral("bk.jpg"), QStringLiteral("index.html")};
    const int pages[] = {1, 3, 4};
    for (int k = 1; k <= 3; ++k) {
        expected << QStringLiteral("%1/bk.jpg").arg(k);
        for (int p = 1; p <= pages[k - 1]; ++p) {
            for (int g = 0; g < 3; ++g) {
                expected << QStringLiteral("%1/%2_%3.jpg").arg(k).arg(p).arg(g);
            }
            if (p % 2 == 1) {
                expected << QStringLiteral("%1/%2.html").arg(k).arg(p);
            }
        }
    }
    expected.sort();
    EXPECT_EQ(exportedFiles(), expected);
    EXPECT_EQ(frm->output()->htmlExport().pagesWritten(), 8);

    EXPECT_EQ(
        readPage(QStringLiteral("index.html")),
        htmlpages::indexPage({QStringLiteral("Один"), QStringLiteral("Три <&>"), QStringLiteral("Четыре")}));
    EXPECT_TRUE(readPage(QStringLiteral("index.html")).contains(QStringLiteral("Три &lt;&amp;&gt;")));
    EXPECT_EQ(readPage(QStringLiteral("1/1.html")), htmlpages::scorePage(QStringLiteral("Один"), 1, 1));
    EXPECT_EQ(readPage(QStringLiteral("2/3.html")), htmlpages::scorePage(QStringLiteral("Три <&>"), 3, 3));
    EXPECT_EQ(readPage(QStringLiteral("3/1.html")), htmlpages::scorePage(QStringLiteral("Четыре"), 1, 4));

    // The pictures decode at the staff's client size; odd pages lose a column.
    const QFrame* staves[3] = {control<QFrame>(*frm, "pnlSmallBells"),
                               control<QFrame>(*frm, "pnlMiddleBells"), control<QFrame>(*frm, "pnlBigBells")};
    for (int g = 0; g < 3; ++g) {
        const QSize staff = staves[g]->contentsRect().size();
        ASSERT_GT(staff.width(), 10);
        for (int p : {1, 2}) {
            QFile file(exportDir() + QStringLiteral("/3/%1_%2.jpg").arg(p).arg(g));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const std::optional<QImage> image = jpeg::decode(file.readAll());
            ASSERT_TRUE(image.has_value());
            EXPECT_EQ(image->size(), QSize(staff.width() - (p % 2), staff.height())) << p << "_" << g;
        }
    }
    QFile background(program.dir() + QStringLiteral("html/2/bk.jpg"));
    ASSERT_TRUE(background.open(QIODevice::ReadOnly));
    EXPECT_TRUE(jpeg::decode(background.readAll()).has_value());

    EXPECT_EQ(common()->currentIndex(), 0);
    EXPECT_EQ(frm->commonScoreSize(), 0);
    for (int bell = 0; bell < 15; ++bell) {
        EXPECT_TRUE(frm->ensemble().isSelected(bell)) << bell;
    }
    // Play exports again, every time.
    QFile::remove(exportDir() + QStringLiteral("/1/1.html"));
    ASSERT_TRUE(runExport());
    EXPECT_TRUE(QFile::exists(exportDir() + QStringLiteral("/1/1.html")));
}

// Only the placeholder in the list: the index with an empty list and no
// ringing folders.
TEST_F(HtmlExportWindow, NoRingingsWritesOnlyTheIndex) {
    writeTextLines(program.dir() + QStringLiteral("Campanel/common.kli"),
                   {QStringLiteral("999;Недоступный;g.kol")});
    start({QStringLiteral("html")});
    ASSERT_TRUE(runExport());
    EXPECT_EQ(exportedFiles(), (QStringList{QStringLiteral("bk.jpg"), QStringLiteral("index.html")}));
    EXPECT_EQ(readPage(QStringLiteral("index.html")), htmlpages::indexPage({}));
}

// The mode needs "html" exactly as the first argument; anything else plays.
TEST_F(HtmlExportWindow, OtherArgumentsPlay) {
    writeCommonList({{QStringLiteral("Один"), 40}});
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("HTML")}, QStringList{QStringLiteral("html ")},
          QStringList{QStringLiteral("x"), QStringLiteral("html")}, QStringList{}}) {
        start(arguments);
        choose(1);
        frm->btnPlayClick();
        QApplication::processEvents();
        EXPECT_TRUE(frm->transport().isPlaying()) << arguments.join(' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(exportDir())) << arguments.join(' ').toStdString();
        frm->btnStopClick();
        frm.reset();
    }
    EXPECT_TRUE(OutputController::isExportMode({QStringLiteral("html"), QStringLiteral("more")}));
}

// A folder that cannot be made ends the export there without a message box:
// what was written stays and the ringing being exported stays chosen. The
// log names the step, one status-bar line the folder and the ringings
// written whole.
TEST_F(HtmlExportWindow, AFailureEndsTheExportAndKeepsWhatWasWritten) {
    writeCommonList({{QStringLiteral("Один"), 40}, {QStringLiteral("Два"), 70}, {QStringLiteral("Три"), 10}});
    QDir().mkpath(exportDir());
    QFile blocker(exportDir() + QStringLiteral("/2"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    start({QStringLiteral("html")});
    bool completed = true;
    QObject::connect(&frm->output()->htmlExport(), &HtmlExport::finished, [&](bool ok) { completed = ok; });
    const OutputWarnings warnings;
    ASSERT_TRUE(runExport());
    const QString folder = exportDir() + QStringLiteral("/2");
    EXPECT_TRUE(std::any_of(warnings.messages.begin(), warnings.messages.end(), [&](const QString& message) {
        return message.contains(folder);
    })) << warnings.messages.join('\n').toStdString();
    EXPECT_FALSE(completed);
    EXPECT_TRUE(QFile::exists(exportDir() + QStringLiteral("/1/1.html")));
    EXPECT_FALSE(QFile::exists(exportDir() + QStringLiteral("/3")));
    EXPECT_EQ(common()->currentIndex(), 2);
    EXPECT_TRUE(reports.isEmpty());
    const QString message = frm->statusBar()->currentMessage();
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(folder))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Записано звонов: 1 из 3"))) << message.toStdString();
    EXPECT_EQ(frm->output()->htmlExport().failedPath(), folder);
}

// A file that cannot be written at the very start (the index, where a folder
// of that name stands) ends the export with nothing written, and says so.
TEST_F(HtmlExportWindow, AnUnwritableIndexIsReported) {
    writeCommonList({{QStringLiteral("Один"), 40}});
    QDir().mkpath(exportDir() + QStringLiteral("/index.html"));
    start({QStringLiteral("html")});
    ASSERT_TRUE(runExport());
    const QString message = frm->statusBar()->currentMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("index.html"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Записано звонов: 0 из 1"))) << message.toStdString();
    EXPECT_FALSE(QFile::exists(exportDir() + QStringLiteral("/1")));
}

} // namespace
