#include "TestSamples.h"
#include "base/TextCodec.h"
#include "playback/audio/AudioEngine.h"
#include "ringing/RingingReader.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs the renderer of this build against an installation made here: a
// catalogue whose sample names hold blanks and marked bell samples in
// Sound/Model2/Mono/ only.
class RenderTool : public ::testing::Test {
protected:
    void SetUp() override {
        tool = QStringLiteral(CAMPANIX_RUNTIME_DIR) + QStringLiteral("/campanix-render");
        if (!QFileInfo(tool).isExecutable()) {
            GTEST_SKIP() << "campanix-render is not built";
        }
        root = dir.path() + QLatin1Char('/');
        QStringList catalogue;
        for (int bell = 0; bell < 15; ++bell) {
            catalogue << QStringLiteral("Bell %1;%2;p.bmp;q.bmp;;;%3;-")
                             .arg(bell)
                             .arg(testsamples::bellFileName(bell))
                             .arg(65 + bell);
        }
        QDir().mkpath(root + QStringLiteral("Data"));
        ASSERT_TRUE(writeTextLines(root + QStringLiteral("Data/desc.kli"), catalogue));
        ASSERT_TRUE(testsamples::writeMarkedBells(root + QStringLiteral("Sound/Model2/Mono/"), 1200));
        // Bells 0 and 1 big, 2 middle, 3 and 4 small; columns s1,m1 / empty / b1,s2 at 144 ms.
        ASSERT_TRUE(writeTextLines(root + QStringLiteral("r.ukl"),
                                   {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                                    QStringLiteral("Test"), QStringLiteral("144&{1~[}1&&!1~{2&")}));
    }

    int run(const QStringList& arguments) {
        QProcess process;
        process.start(tool, arguments);
        process.waitForFinished(60000);
        errorText = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir dir;
    QString tool;
    QString root;
    QString errorText;
};

TEST_F(RenderTool, RendersAUserRingingFile) {
    const QString out = root + QStringLiteral("out.wav");
    ASSERT_EQ(run({root + QStringLiteral("r.ukl"), out, QStringLiteral("--model"), QStringLiteral("2"),
                   QStringLiteral("--mono"), QStringLiteral("--float"), QStringLiteral("--data-dir"), root}),
              0)
        << errorText.toStdString();
    const testsamples::Wav wav = testsamples::readWav(out);
    // s1 = bell 4, m1 = bell 2 at 0; b1 = bell 0, s2 = bell 3 at 2 x 144 ms = 13824 frames.
    const std::vector<std::pair<std::size_t, int>> expected = {{0, (1 << 4) | (1 << 2)},
                                                               {13824, (1 << 0) | (1 << 3)}};
    EXPECT_EQ(testsamples::markedOnsets(wav, audio::kRingingBusGain), expected);
    EXPECT_GE(wav.frames(), 13824u + 1200u); // the last strikes ring out
}

TEST_F(RenderTool, ExitCodesAndMessages) {
    const QString ukl = root + QStringLiteral("r.ukl");
    const QString out = root + QStringLiteral("o.wav");
    const QString data = QStringLiteral("--data-dir");
    struct Case {
        QStringList arguments;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {{}, 2, "expected"},                                                        // no names
        {{ukl, out, QStringLiteral("--model"), QStringLiteral("9")}, 2, "--model"}, // bad option value
        {{root + QStringLiteral("none.ukl"), out, data, root}, 1, "no such file"},
        {{ukl, out, data, root}, 1, "no such sample file"}, // Model1/Stereo is not installed here
        {{ukl, root + QStringLiteral("no/such/dir/o.wav"), QStringLiteral("--model"), QStringLiteral("2"),
          QStringLiteral("--mono"), data, root},
         1,
         "no/such/dir"},
        {{ukl, out, data, root + QStringLiteral("elsewhere")}, 1, "desc.kli"}, // no catalogue
        {{root + QStringLiteral("huge.ukl"), out, data, root}, 1, "too large"},
        {{root + QStringLiteral("wide.ukl"), out, data, root}, 1, "too many columns"},
    };
    // Beyond the limits, refused before anything is decoded or rendered.
    {
        QFile huge(root + QStringLiteral("huge.ukl"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(kMaxRingingFileBytes + 1));
    }
    ASSERT_TRUE(writeTextLines(root + QStringLiteral("wide.ukl"),
                               {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                                QStringLiteral("Wide"), QStringLiteral("144") + QString(300000, u'_')}));
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.arguments), c.code) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(errorText.contains(QString::fromUtf8(c.message))) << errorText.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out)); // no failed run leaves an output behind
}

} // namespace
