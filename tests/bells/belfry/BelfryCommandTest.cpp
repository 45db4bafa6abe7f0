// The belfry tool's commands, run in process on short synthetic recordings.

#include "bells/belfry/BelfryCommand.h"
#include "bells/belfry/BelfryStore.h"

#include "bells/belfry/SyntheticBell.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

class BelfryCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + u'/';
    }

    // A recording of a bell of this nominal, struck at `strike` seconds.
    QString recording(const QString& name, double nominalHz, double strike) {
        synthetic::BellSpec spec;
        spec.nominalHz = nominalHz;
        spec.rate = 16000;
        spec.strikeSeconds = strike;
        spec.seconds = strike + 1.1;
        const QString path = root + name;
        EXPECT_TRUE(synthetic::writeSound(path.toStdString(), synthetic::recording(spec)));
        return path;
    }

    int run(const QStringList& arguments) {
        output.clear();
        errors.clear();
        QTextStream out(&output);
        QTextStream err(&errors);
        return runBelfryCommand(arguments, root + QStringLiteral("Belfries/"), out, err);
    }

    QTemporaryDir dir;
    QString root;
    QString output;
    QString errors;
};

} // namespace

// One line per bell, lowest first, with the file as given, its pitch and the
// strike's time; the refused file named on standard error, the others kept.
TEST_F(BelfryCommand, ImportsInPitchOrderAndNamesTheRefused) {
    const QString high = recording(QStringLiteral("high.wav"), 1600.0, 0.25);
    const QString low = recording(QStringLiteral("low.wav"), 400.0, 0.5);
    const QString middle = recording(QStringLiteral("middle.wav"), 800.0, 0.1);
    QFile text(root + QStringLiteral("notes.wav"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a sound\n");
    text.close();

    ASSERT_EQ(run({QStringLiteral("import"), QStringLiteral("Троица"), high, text.fileName(), low, middle}),
              kBelfryOk)
        << errors.toStdString();
    const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QString expected[][2] = {{low, QStringLiteral("0.5")}, {middle, QStringLiteral("0.1")},
                                   {high, QStringLiteral("0.25")}};
    const double pitches[] = {200.0, 400.0, 800.0};
    for (int bell = 0; bell < 3; ++bell) {
        const QStringList f = lines[bell].split(u'\t');
        ASSERT_EQ(f.size(), 4) << lines[bell].toStdString();
        EXPECT_EQ(f[0], QString::number(bell));
        EXPECT_EQ(f[1], expected[bell][0]);
        EXPECT_NEAR(f[2].toDouble(), pitches[bell], pitches[bell] * 0.003);
        EXPECT_NEAR(f[3].toDouble(), expected[bell][1].toDouble(), 0.002);
    }
    const QStringList refused = errors.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused[0].contains(text.fileName()));

    ASSERT_EQ(run({QStringLiteral("list")}), kBelfryOk);
    EXPECT_EQ(output, QStringLiteral("Троица\n"));
    const BelfryStore store(root + QStringLiteral("Belfries/"));
    QString error;
    const std::optional<Belfry> belfry = store.load(QStringLiteral("Троица"), &error);
    ASSERT_TRUE(belfry) << error.toStdString();
    EXPECT_EQ(belfry->bells[0].source, low);
    EXPECT_EQ(belfry->bells[0].name, QStringLiteral("low"));
}

// A used name is refused before anything is read, unless --replace; the
// belfry is then the new one. Removing and listing follow.
TEST_F(BelfryCommand, ReplacingAndRemoving) {
    const QString a = recording(QStringLiteral("a.wav"), 900.0, 0.2);
    const QString b = recording(QStringLiteral("b.wav"), 1200.0, 0.2);
    ASSERT_EQ(run({QStringLiteral("import"), QStringLiteral("T"), a}), kBelfryOk);
    EXPECT_EQ(run({QStringLiteral("import"), QStringLiteral("T"), a, b}), kBelfryFailed);
    EXPECT_TRUE(errors.contains(QStringLiteral("--replace"))) << errors.toStdString();
    EXPECT_TRUE(output.isEmpty());
    ASSERT_EQ(run({QStringLiteral("import"), QStringLiteral("--replace"), QStringLiteral("T"), a, b}), kBelfryOk);
    EXPECT_EQ(output.count(u'\n'), 2);
    EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("T")}), kBelfryOk);
    EXPECT_EQ(run({QStringLiteral("remove"), QStringLiteral("T")}), kBelfryFailed);
    EXPECT_TRUE(errors.contains(QStringLiteral("no belfry")));
    ASSERT_EQ(run({QStringLiteral("list")}), kBelfryOk);
    EXPECT_TRUE(output.isEmpty());
}

// Wrong use: each gets its message and writes nothing.
TEST_F(BelfryCommand, RefusesWrongUse) {
    const QString a = recording(QStringLiteral("a.wav"), 900.0, 0.2);
    QStringList sixteen;
    for (int i = 0; i < 16; ++i) {
        sixteen << a;
    }
    const std::vector<std::pair<QStringList, int>> rows = {
        {{}, kBelfryBadArguments},
        {{QStringLiteral("import")}, kBelfryBadArguments},
        {{QStringLiteral("import"), QStringLiteral("T")}, kBelfryBadArguments},
        {{QStringLiteral("import"), QStringLiteral("../T"), a}, kBelfryBadArguments},
        {QStringList{QStringLiteral("import"), QStringLiteral("T")} + sixteen, kBelfryBadArguments},
        {{QStringLiteral("import"), QStringLiteral("T"), root + QStringLiteral("missing.wav")}, kBelfryFailed},
        {{QStringLiteral("ring"), QStringLiteral("T")}, kBelfryBadArguments},
        {{QStringLiteral("remove")}, kBelfryBadArguments},
    };
    for (const auto& [arguments, code] : rows) {
        EXPECT_EQ(run(arguments), code) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(errors.isEmpty() && output.isEmpty()) << arguments.join(u' ').toStdString();
    }
    ASSERT_EQ(run({QStringLiteral("list")}), kBelfryOk);
    EXPECT_TRUE(output.isEmpty());
}
