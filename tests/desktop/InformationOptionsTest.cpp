// --help and --version answer on the terminal: without a display, a sound
// device or the running copy's guard, and without writing anything.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Answer {
    int exitCode = -1;
    QByteArray out;
};

// Runs the program with no display at all: a start that reached the window
// system would fail here instead of answering.
Answer ask(const QString& program, const QStringList& arguments, const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                             "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), home);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Answer answer;
    if (process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit) {
        answer.exitCode = process.exitCode();
        answer.out = process.readAllStandardOutput();
    } else {
        process.kill();
        process.waitForFinished();
    }
    return answer;
}

} // namespace

TEST(InformationOptions, AnswerWithoutStartingTheProgram) {
    const QString runtime = QStringLiteral(CAMPANIX_RUNTIME_DIR);
    const QString campanix = runtime + QStringLiteral("/campanix");
    const QString render = runtime + QStringLiteral("/campanix-render");
    if (!QFileInfo(campanix).isExecutable() || !QFileInfo(render).isExecutable()) {
        GTEST_SKIP() << "the programs are not built";
    }
    QTemporaryDir home;
    struct Case {
        QString program;
        QStringList arguments;
        QByteArray expected;
    };
    const Case cases[] = {
        {campanix, {QStringLiteral("--version")}, "campanix 1.2\n"},
        {campanix, {QStringLiteral("--help")}, "Usage: campanix [ringing file]"},
        {campanix, {QStringLiteral("-h")}, "--version"},
        // A file name before the option does not hide it.
        {campanix, {QStringLiteral("some.ukl"), QStringLiteral("--version")}, "campanix 1.2\n"},
        {render, {QStringLiteral("--version")}, "campanix-render 1.2\n"},
        {render, {QStringLiteral("--help")}, "--version"},
    };
    for (const Case& c : cases) {
        const Answer answer = ask(c.program, c.arguments, home.path());
        EXPECT_EQ(answer.exitCode, 0) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(answer.out.contains(c.expected)) << answer.out.toStdString();
    }
    // Nothing was written for the user: no settings, no association, no guard.
    EXPECT_TRUE(
        QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}
