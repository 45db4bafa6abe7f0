#include "support/TestProgram.h"

#include "base/TextCodec.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>

#include <sndfile.h>

#include <vector>

void ensureQtApplication() {
    if (QApplication::instance()) {
        return;
    }
    static int argc = 1;
    static char name[] = "campanix_tests";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends; widget tests share it.
    new QApplication(argc, argv);
}

TempProgram::TempProgram() {
    QDir(m_dir.path()).mkpath(QStringLiteral("Data"));
    QDir(m_dir.path()).mkpath(QStringLiteral("Images"));
    writeCatalogue(catalogueLines());
    writePictures();
    // Striking a bell checks that its sample exists (the required-file
    // check): a short silent sample per bell in the default sample folder.
    writeSamples();
    // The ringing lists are required at start-up: one ringing per list.
    QDir(m_dir.path()).mkpath(QStringLiteral("Campanel"));
    const QString campanel = m_dir.path() + QStringLiteral("/Campanel/");
    writeTextLines(campanel + QStringLiteral("small.kli"), {QStringLiteral("1;Малый;g.kol")});
    writeTextLines(campanel + QStringLiteral("middle.kli"), {QStringLiteral("1;Средний;g.kol")});
    writeTextLines(campanel + QStringLiteral("big.kli"), {QStringLiteral("1;Большой;g.kol")});
    writeTextLines(campanel + QStringLiteral("common.kli"), {QStringLiteral("000;Общий;g.kol")});
    writeTextLines(campanel + QStringLiteral("g.kol"), {QStringLiteral("144"), QStringLiteral("s1,m1,b1")});
}

QStringList TempProgram::catalogueLines() {
    QStringList lines;
    for (int i = 0; i < 15; ++i) {
        const QString nn = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        lines << QStringLiteral("Колокол-%1;bell%2.wav;bell%2.bmp;bell%2_off.bmp;x;y;%3;z")
                     .arg(i)
                     .arg(nn)
                     .arg(65 + i);
    }
    return lines;
}

void TempProgram::writeCatalogue(const QStringList& lines) const {
    writeTextLines(cataloguePath(), lines);
}

void TempProgram::removeCatalogue() const {
    QFile::remove(cataloguePath());
}

void TempProgram::writePictures() const {
    for (int i = 0; i < 15; ++i) {
        const QString nn = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        QImage on(8, 8, QImage::Format_RGB32);
        on.fill(QColor(200, 160, 40));
        on.save(dir() + QStringLiteral("Images/bell%1.bmp").arg(nn), "BMP");
        QImage off(8, 8, QImage::Format_RGB32);
        off.fill(QColor(120, 120, 120));
        off.save(dir() + QStringLiteral("Images/bell%1_off.bmp").arg(nn), "BMP");
    }
}

void TempProgram::writeSamples() const {
    const QString folder = dir() + QStringLiteral("Sound/Model1/Stereo/");
    QDir().mkpath(folder);
    const std::vector<short> silence(2 * 64, 0);
    for (int i = 0; i < 15; ++i) {
        const QString nn = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        SF_INFO info{};
        info.samplerate = 48000;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        const QByteArray path = QFile::encodeName(folder + QStringLiteral("bell%1.wav").arg(nn));
        if (SNDFILE* file = sf_open(path.constData(), SFM_WRITE, &info)) {
            sf_writef_short(file, silence.data(), 64);
            sf_close(file);
        }
    }
}

void TempProgram::writeSettings(const QStringList& lines) const {
    writeTextLines(dir() + QStringLiteral("campanix.ini"), lines);
}

void TempProgram::writeBells(const QString& bells, const QString& types) const {
    writeSettings(
        {QStringLiteral("[Serial]"), QStringLiteral("Bells=") + bells, QStringLiteral("Types=") + types});
}

QString TempProgram::settingsText() const {
    QFile f(dir() + QStringLiteral("campanix.ini"));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLatin1(f.readAll());
}
