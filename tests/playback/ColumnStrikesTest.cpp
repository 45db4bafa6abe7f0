#include "playback/ColumnStrikes.h"

#include <gtest/gtest.h>

namespace {

// Small bells 9, 11, 12; middle 5, 6; big 0, 2, 3.
Ensemble mixedEnsemble() {
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("101101100101100"), QStringLiteral("bnbbnmmnnsnssnn"));
    return ensemble;
}

QString nameOf(int bell) {
    return QStringLiteral("b%1.wav").arg(bell);
}

QList<int> soundedBells(const QString& line, const StrikeSwitches& switches = {}) {
    return ColumnSampleFiles(line, mixedEnsemble(), switches, QStringLiteral("/s/"), nameOf).bells;
}

TEST(BellForToken, MapsTokensThroughTheEnsemble) {
    const Ensemble ensemble = mixedEnsemble();
    struct Case {
        char letter;
        int position;
        int bell;
    };
    const Case cases[] = {
        {'s', 1, 12},                             // small bells are counted from bell 14 downward
        {'s', 2, 11}, {'s', 3, 9},  {'m', 1, 6},  // so are middle bells
        {'m', 2, 5},  {'b', 1, 0},                // big bells are counted from bell 0 upward
        {'b', 2, 2},  {'b', 3, 3},  {'s', 0, 14}, // position 0 names no bell
        {'s', 4, 14},                             // a position past the group's size names no bell
        {'m', 9, 14}, {'x', 1, 14},               // an unknown letter names no bell
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BellForToken(ensemble, QChar(c.letter), c.position), c.bell) << c.letter << c.position;
    }
}

TEST(BellForToken, EmptyGroupGivesBellFourteen) {
    Ensemble ensemble;
    ensemble.applyText(QStringLiteral("111000000000000"), QStringLiteral("bbbnnnnnnnnnnnn"));
    // Catches a scan that falls back to the last bell it looked at.
    EXPECT_EQ(BellForToken(ensemble, u's', 1), 14);
    EXPECT_EQ(BellForToken(ensemble, u'b', 4), 14);
}

TEST(ColumnSampleFiles, TokenRules) {
    struct Case {
        const char* line;
        QList<int> bells;
    };
    const Case cases[] = {
        {"", {}},                 // empty column
        {"s", {}},                // a one-character line sounds nothing
        {"s1,m1,b1", {12, 6, 0}}, // token order is kept
        {"s12", {12}},            // only the first two characters count
        {"#2,v1,x3", {}},         // comment-like tokens and unknown letters are silent
        {"s7", {14}},             // past the group: bell 14 sounds, selected or not
        {"s,m1", {6}},            // a token without its digit is skipped, not the column
        {"sa,b2", {2}},           // a non-digit position is skipped
        {"b1,,s2", {0, 11}},      // an empty token between commas is skipped
        {"s1,s1", {12, 12}},      // the same bell twice gives two voices
        {"s1,", {12}},            // a trailing comma adds nothing
        {"s\xd9\xa1,m1", {6}},    // a non-ASCII digit is not a position
    };
    for (const Case& c : cases) {
        EXPECT_EQ(soundedBells(QString::fromUtf8(c.line)), c.bells) << c.line;
    }
}

TEST(ColumnSampleFiles, PathsAreFolderPlusCatalogueName) {
    const ColumnStrikes strikes = ColumnSampleFiles(QStringLiteral("b1,s1"), mixedEnsemble(), {},
                                                    QStringLiteral("/snd/Model1/Mono/"), nameOf);
    EXPECT_EQ(strikes.sampleFiles, QStringList({QStringLiteral("/snd/Model1/Mono/b0.wav"),
                                                QStringLiteral("/snd/Model1/Mono/b12.wav")}));
}

TEST(ColumnSampleFiles, GroupBoxesSilenceAndUnanimate) {
    StrikeSwitches middleOff;
    middleOff.showMovie = true;
    middleOff.groupSounds = {true, false, true};
    const ColumnStrikes strikes =
        ColumnSampleFiles(QStringLiteral("s1,m1,b1"), mixedEnsemble(), middleOff, QString(), nameOf);
    // Catches a silenced group that still sounds or still shows its swing.
    EXPECT_EQ(strikes.bells, QList<int>({12, 0}));
    EXPECT_EQ(strikes.animatedBells, QList<int>({12, 0}));

    StrikeSwitches smallNotAnimated;
    smallNotAnimated.showMovie = true;
    smallNotAnimated.groupAnimated = {false, true, true};
    const ColumnStrikes unanimated =
        ColumnSampleFiles(QStringLiteral("s1,m1,b1"), mixedEnsemble(), smallNotAnimated, QString(), nameOf);
    // A group that is not animated still sounds.
    EXPECT_EQ(unanimated.bells, QList<int>({12, 6, 0}));
    EXPECT_EQ(unanimated.animatedBells, QList<int>({6, 0}));

    StrikeSwitches movieOff;
    const ColumnStrikes still =
        ColumnSampleFiles(QStringLiteral("s1,m1,b1"), mixedEnsemble(), movieOff, QString(), nameOf);
    // Without the animation switch nothing is animated.
    EXPECT_EQ(still.bells.size(), 3);
    EXPECT_TRUE(still.animatedBells.isEmpty());

    StrikeSwitches allOff;
    allOff.groupSounds = {false, false, false};
    allOff.showMovie = true;
    const ColumnStrikes silent =
        ColumnSampleFiles(QStringLiteral("s1,m1,b1"), mixedEnsemble(), allOff, QString(), nameOf);
    EXPECT_TRUE(silent.sampleFiles.isEmpty());
    EXPECT_TRUE(silent.animatedBells.isEmpty());
}

} // namespace
