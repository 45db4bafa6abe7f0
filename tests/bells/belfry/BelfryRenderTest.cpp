// A belfry made by the belfry tool and rendered by the renderer, both run as
// a user runs them, against an installation made here.

#include "bells/belfry/SyntheticBell.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int runTool(const QString& tool, const QStringList& arguments, QString* errors) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

double rms(const std::vector<float>& x, size_t from, size_t count) {
    double sum = 0.0;
    for (size_t i = from; i < from + count && i < x.size(); ++i) {
        sum += static_cast<double>(x[i]) * x[i];
    }
    return std::sqrt(sum / static_cast<double>(count));
}

} // namespace

// Five recordings become bells 0-4; a ringing then strikes their samples on
// its columns' frames: s1 + m1 at 0, b1 + s2 two 144 ms columns later.
TEST(BelfryRender, ImportedBellsStrikeOnTheGrid) {
    const QString bin = QStringLiteral(CAMPANIX_RUNTIME_DIR);
    const QString belfryTool = bin + QStringLiteral("/campanix-belfry");
    const QString renderTool = bin + QStringLiteral("/campanix-render");
    if (!QFileInfo(belfryTool).isExecutable() || !QFileInfo(renderTool).isExecutable() ||
        !QFileInfo::exists(bin + QStringLiteral("/Data/desc.kli"))) {
        GTEST_SKIP() << "the tools or the catalogue are not built";
    }
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    QDir().mkpath(root + QStringLiteral("Data"));
    ASSERT_TRUE(QFile::copy(bin + QStringLiteral("/Data/desc.kli"), root + QStringLiteral("Data/desc.kli")));
    QStringList files;
    for (int bell = 0; bell < 5; ++bell) {
        synthetic::BellSpec spec;
        spec.nominalHz = 300.0 * (bell + 1);
        spec.rate = bell % 2 == 0 ? 44100 : 16000;
        spec.strikeSeconds = 0.2 + 0.1 * bell;
        spec.seconds = spec.strikeSeconds + 1.2;
        spec.noiseDb = -90.0;
        files << root + QStringLiteral("rec%1.wav").arg(4 - bell);
        ASSERT_TRUE(synthetic::writeSound(files.last().toStdString(), synthetic::recording(spec)));
    }
    QString errors;
    ASSERT_EQ(runTool(belfryTool, QStringList{QStringLiteral("--data-dir"), root, QStringLiteral("import"),
                                              QStringLiteral("Своя")} + files,
                      &errors),
              0)
        << errors.toStdString();
    QFile ringing(root + QStringLiteral("r.ukl"));
    ASSERT_TRUE(ringing.open(QIODevice::WriteOnly));
    ringing.write("111110000000000\r\nbbmssnnnnnnnnnn\r\nTest\r\n144&{1~[}1&&!1~{2&\r\n");
    ringing.close();
    const QString out = root + QStringLiteral("out.wav");
    const QString list = root + QStringLiteral("strikes.txt");
    ASSERT_EQ(runTool(renderTool,
                      {ringing.fileName(), out, QStringLiteral("--data-dir"), root, QStringLiteral("--belfry"),
                       QStringLiteral("Своя"), QStringLiteral("--float"), QStringLiteral("--strike-list"), list},
                      &errors),
              0)
        << errors.toStdString();
    QFile strikes(list);
    ASSERT_TRUE(strikes.open(QIODevice::ReadOnly));
    QStringList found = QString::fromUtf8(strikes.readAll()).split(u'\n', Qt::SkipEmptyParts);
    found.sort();
    const QString folder = root + QStringLiteral("Belfries/Своя/");
    QStringList expected = {QStringLiteral("0\t") + folder + QStringLiteral("bell05.flac"),
                            QStringLiteral("0\t") + folder + QStringLiteral("bell03.flac"),
                            QStringLiteral("13824\t") + folder + QStringLiteral("bell01.flac"),
                            QStringLiteral("13824\t") + folder + QStringLiteral("bell04.flac")};
    expected.sort();
    EXPECT_EQ(found, expected);

    // The sound: silence until the pre-roll of the first pair, then their
    // strike; the second pair adds its own strike on its frame.
    std::string error;
    const std::optional<bellmeasure::Audio> wav = bellmeasure::readAudio(out.toStdString(), error);
    ASSERT_TRUE(wav) << error;
    const std::vector<float>& left = wav->channels.front();
    EXPECT_LT(rms(left, 0, 96), 1e-4);
    EXPECT_GT(rms(left, 240, 480), 1e-3);
    const size_t second = 13824 + 192;
    EXPECT_GT(rms(left, second + 48, 480), 1.5 * rms(left, second - 528, 480));

    // A belfry that is not there is named.
    EXPECT_EQ(runTool(renderTool,
                      {ringing.fileName(), out, QStringLiteral("--data-dir"), root, QStringLiteral("--belfry"),
                       QStringLiteral("Нет такой")},
                      &errors),
              1);
    EXPECT_TRUE(errors.contains(QStringLiteral("Нет такой"))) << errors.toStdString();
}
