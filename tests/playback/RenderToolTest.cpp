#include "TestSamples.h"
#include "base/TextCodec.h"
#include "playback/audio/AudioEngine.h"
#include "ringing/RingingReader.h"
#include "support/FullDisk.h"
#include "support/OutputPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sys/resource.h>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

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

    // A user ringing of `columns` columns striking b1, at `intervalMs`.
    QString writeLong(const QString& name, int columns, int intervalMs) {
        const QString path = root + name;
        writeTextLines(path, {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"),
                              QStringLiteral("Long"),
                              QString::number(intervalMs) + QStringLiteral("&!1").repeated(columns)});
        return path;
    }

    // The options that pick the samples installed here (float samples keep
    // the marks of the test bells exact).
    QStringList installed(bool floatSamples = true) const {
        QStringList options{QStringLiteral("--model"), QStringLiteral("2"), QStringLiteral("--mono"),
                            QStringLiteral("--data-dir"), root};
        if (floatSamples) {
            options << QStringLiteral("--float");
        }
        return options;
    }

    // The onsets of a rendering of r.ukl, from its bytes.
    std::vector<std::pair<std::size_t, int>> onsetsOf(const QByteArray& bytes) {
        const QString file = root + QStringLiteral("check.sound");
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        out.close();
        return testsamples::markedOnsets(testsamples::readWav(file), audio::kRingingBusGain);
    }

    // s1 = bell 4, m1 = bell 2 at 0; b1 = bell 0, s2 = bell 3 at 2 x 144 ms.
    static std::vector<std::pair<std::size_t, int>> expectedOnsets() {
        return {{0, (1 << 4) | (1 << 2)}, {13824, (1 << 0) | (1 << 3)}};
    }

    int run(const QStringList& arguments) {
        QProcess process;
        process.start(tool, arguments);
        process.waitForFinished(60000);
        errorText = QString::fromLocal8Bit(process.readAllStandardError());
        outputBytes = process.readAllStandardOutput();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir dir;
    QString tool;
    QString root;
    QString errorText;
    QByteArray outputBytes;
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

// A ringing longer than the stated maximum is refused before anything is
// written (five hours against the default four, two minutes against a
// maximum lowered to one); the maximum is a positive number of minutes.
TEST_F(RenderTool, RefusesOutputsLongerThanTheMaximum) {
    const QString out = root + QStringLiteral("o.wav");
    const QStringList installation{QStringLiteral("--model"), QStringLiteral("2"), QStringLiteral("--mono"),
                                   QStringLiteral("--data-dir"), root};
    const QString fiveHours = writeLong(QStringLiteral("five.ukl"), 18000, 1000);
    EXPECT_EQ(run(QStringList{fiveHours, out} + installation), 1);
    EXPECT_TRUE(errorText.contains(QStringLiteral("5:00:00"))) << errorText.toStdString();
    EXPECT_TRUE(errorText.contains(QStringLiteral("--max-length"))) << errorText.toStdString();

    const QString twoMinutes = writeLong(QStringLiteral("two.ukl"), 120, 1000);
    EXPECT_EQ(
        run(QStringList{twoMinutes, out, QStringLiteral("--max-length"), QStringLiteral("1")} + installation),
        1);
    EXPECT_TRUE(errorText.contains(QStringLiteral("0:02:00"))) << errorText.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(
        run(QStringList{twoMinutes, out, QStringLiteral("--max-length"), QStringLiteral("2")} + installation),
        0)
        << errorText.toStdString();
    for (const QString& bad : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("two")}) {
        EXPECT_EQ(run({twoMinutes, out, QStringLiteral("--max-length"), bad}), 2) << bad.toStdString();
    }
}

// SIGTERM, SIGINT and SIGHUP stop a render: the temporary file goes, nothing is
// written, and the exit status tells which signal it was.
TEST_F(RenderTool, ASignalRemovesTheUnfinishedFile) {
    const QString ringing = writeLong(QStringLiteral("long.ukl"), 10000, 1000);
    for (const int stop : {SIGTERM, SIGINT, SIGHUP}) {
        QProcess process;
        process.start(tool,
                      {ringing, root + QStringLiteral("out.wav"), QStringLiteral("--model"),
                       QStringLiteral("2"), QStringLiteral("--mono"), QStringLiteral("--data-dir"), root});
        ASSERT_TRUE(process.waitForStarted());
        const auto unfinished = [this] {
            return QDir(root).entryList({QStringLiteral("out.wav*")}, QDir::Files | QDir::Hidden);
        };
        QElapsedTimer waited;
        waited.start();
        while (unfinished().isEmpty() && waited.elapsed() < 20000 && process.state() == QProcess::Running) {
            QThread::msleep(5);
        }
        ASSERT_EQ(unfinished().size(), 1) << "the render did not start";
        ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), stop), 0);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << stop;
        EXPECT_EQ(process.exitCode(), 128 + stop);
        EXPECT_TRUE(unfinished().isEmpty()) << unfinished().join(u' ').toStdString();
    }
}

// The sound and the strike list go through what their paths are: a device
// stays a device (/dev/null once became a 1.4 MB regular file), a FIFO gets
// the bytes, a link stays a link and its target gets them, a folder is
// refused before anything is rendered.
TEST_F(RenderTool, OutputsThatAreNotPlainFilesAreWrittenThrough) {
    using outputpaths::Kind;
    for (const Kind kind : {Kind::Device, Kind::Fifo, Kind::LinkToFile, Kind::LinkToNothing, Kind::Folder}) {
        SCOPED_TRACE(outputpaths::nameOf(kind));
        QTemporaryDir dir;
        const outputpaths::Made sound = outputpaths::make(kind, dir.path(), QStringLiteral("out.wav"));
        const outputpaths::Made list = outputpaths::make(kind, dir.path(), QStringLiteral("list.txt"));
        if (!sound.made || !list.made) {
            ASSERT_EQ(kind, Kind::Device) << "could not make the paths";
            std::cout << "[  SKIPPED ] a device node needs the superuser to make it\n";
            continue;
        }
        std::optional<outputpaths::FifoReader> soundReader;
        std::optional<outputpaths::FifoReader> listReader;
        if (kind == Kind::Fifo) {
            soundReader.emplace(sound.path);
            listReader.emplace(list.path);
        }
        const int code = run(QStringList{root + QStringLiteral("r.ukl"), sound.path, QStringLiteral("--strike-list"),
                                         list.path} +
                             installed());
        if (kind == Kind::Folder) {
            EXPECT_EQ(code, 1);
            EXPECT_TRUE(errorText.contains(QStringLiteral("folder"))) << errorText.toStdString();
        } else {
            EXPECT_EQ(code, 0) << errorText.toStdString();
        }
        EXPECT_TRUE(outputpaths::keepsItsKind(kind, sound.path));
        EXPECT_TRUE(outputpaths::keepsItsKind(kind, list.path));
        QByteArray soundBytes;
        QByteArray listBytes;
        if (kind == Kind::Fifo) {
            soundBytes = soundReader->finish();
            listBytes = listReader->finish();
        } else if (kind == Kind::LinkToFile || kind == Kind::LinkToNothing) {
            QFile soundFile(sound.target);
            QFile listFile(list.target);
            EXPECT_TRUE(soundFile.open(QIODevice::ReadOnly) && listFile.open(QIODevice::ReadOnly));
            soundBytes = soundFile.readAll();
            listBytes = listFile.readAll();
            EXPECT_TRUE(outputpaths::temporariesIn(dir.path() + QStringLiteral("/targets")).isEmpty());
        }
        if (!soundBytes.isEmpty() || !listBytes.isEmpty()) {
            EXPECT_EQ(onsetsOf(soundBytes), expectedOnsets());
            EXPECT_EQ(listBytes.count('\n'), 4);
            EXPECT_TRUE(listBytes.startsWith("0\t")) << listBytes.left(40).toStdString();
        }
        EXPECT_TRUE(outputpaths::temporariesIn(dir.path()).isEmpty());
    }
}

// "-" is WAV on standard output, with the summary on standard error: through
// a pipe the header gives the largest length, into a file the true one.
TEST_F(RenderTool, StandardOutputTakesTheSound) {
    const QStringList arguments = QStringList{root + QStringLiteral("r.ukl"), QStringLiteral("-")} + installed();
    ASSERT_EQ(run(arguments), 0) << errorText.toStdString();
    ASSERT_GT(outputBytes.size(), 44);
    EXPECT_TRUE(outputBytes.startsWith("RIFF\xff\xff\xff\xff""WAVE"));
    EXPECT_EQ(onsetsOf(outputBytes), expectedOnsets());
    EXPECT_TRUE(errorText.contains(QStringLiteral("columns at 144 ms"))) << errorText.toStdString();

    QProcess process;
    const QString file = root + QStringLiteral("redirected.wav");
    process.setStandardOutputFile(file);
    process.start(tool, QStringList{root + QStringLiteral("r.ukl"), QStringLiteral("-")} + installed(false));
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    const auto le32 = [&bytes](int at) {
        return static_cast<quint32>(static_cast<quint8>(bytes[at])) |
               static_cast<quint32>(static_cast<quint8>(bytes[at + 1])) << 8 |
               static_cast<quint32>(static_cast<quint8>(bytes[at + 2])) << 16 |
               static_cast<quint32>(static_cast<quint8>(bytes[at + 3])) << 24;
    };
    EXPECT_EQ(le32(4), static_cast<quint32>(bytes.size() - 8));
    EXPECT_EQ(le32(40), static_cast<quint32>(bytes.size() - 44));
}

// A name ending ".flac" gets FLAC (it once got WAV); a sound format this
// renderer does not write, or float samples in FLAC, is refused.
TEST_F(RenderTool, TheOutputNameChoosesTheFormat) {
    const QString ukl = root + QStringLiteral("r.ukl");
    const QString flac = root + QStringLiteral("out.FLAC");
    ASSERT_EQ(run(QStringList{ukl, flac} + installed(false)), 0) << errorText.toStdString();
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(flac).constData(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    sf_close(file);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
    // The same sound as a 16-bit WAV file.
    const QString wav = root + QStringLiteral("out.wav");
    ASSERT_EQ(run(QStringList{ukl, wav} + installed(false)), 0) << errorText.toStdString();
    const auto onsets = [](const QString& path) {
        return testsamples::markedOnsets(testsamples::readWav(path), audio::kRingingBusGain);
    };
    EXPECT_EQ(onsets(flac), onsets(wav));
    EXPECT_EQ(onsets(flac).size(), 2u);

    EXPECT_EQ(run(QStringList{ukl, root + QStringLiteral("out.mp3")} + installed()), 2);
    EXPECT_TRUE(errorText.contains(QStringLiteral(".wav or .flac"))) << errorText.toStdString();
    EXPECT_EQ(run(QStringList{ukl, flac} + installed()), 2);
    EXPECT_TRUE(errorText.contains(QStringLiteral("--float is for WAV"))) << errorText.toStdString();
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("out.mp3")));
}

// A strike list on a full disk fails the run and keeps the old list (a
// small list once became an empty file, with exit status 0).
TEST_F(RenderTool, AStrikeListOnAFullDiskFailsAndKeepsTheOldList) {
    FullDisk disk;
    const QString list = disk.path() + QStringLiteral("/list.txt");
    {
        QFile old(list);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old list\n");
    }
    disk.fill();
    const int code = run(QStringList{root + QStringLiteral("r.ukl"), QStringLiteral("/dev/null"),
                                     QStringLiteral("--strike-list"), list} +
                         installed());
    disk.empty();
    EXPECT_EQ(code, 1) << disk.how();
    EXPECT_TRUE(errorText.contains(QStringLiteral("strike list was not written"))) << errorText.toStdString();
    QFile old(list);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old list\n");
    EXPECT_TRUE(outputpaths::temporariesIn(disk.path()).isEmpty());
}

// A file grown past the size limit is a failed write, as on a full disk: the
// render ends with a message and leaves the old file and no temporary one,
// instead of dying of the signal such a write raises.
TEST_F(RenderTool, ASizeLimitIsAFailedWriteNotADeath) {
    const QString out = root + QStringLiteral("kept.wav");
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old sound\n");
    }
    QProcess process;
    process.setChildProcessModifier([] {
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 20000;
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    process.start(tool, QStringList{root + QStringLiteral("r.ukl"), out} + installed());
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1) << process.readAllStandardError().toStdString();
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old sound\n");
    EXPECT_TRUE(outputpaths::temporariesIn(root).isEmpty());
}

} // namespace
