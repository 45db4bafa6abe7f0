#include "ringing/TChannels.h"
#include "base/TextCodec.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

QStringList numbered(const QString& prefix, int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        lines << prefix + QString::number(i % 10);
    }
    return lines;
}

} // namespace

// Encoded header marks decode before they are read: "{-" clears the small flag.
TEST(TChannels, EncodedHeaderMarkClearsTheSmallFlag) {
    TChannels ch;
    const RingingLoadResult r = ch.loadRingingLines(3, {"144;{-", "{1~[}2", "!1"}, 300);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.interval, 144);
    EXPECT_FALSE(ch.isGroupAnimated(0));
    EXPECT_TRUE(ch.isGroupAnimated(1));
    EXPECT_TRUE(ch.isGroupAnimated(2));
    EXPECT_EQ(ch.common(), (QStringList{"s1,m2", "b1"}));
    EXPECT_EQ(ch.score(0), (QStringList{"s1", ""}));
    EXPECT_EQ(ch.score(1), (QStringList{"m2", ""}));
    EXPECT_EQ(ch.score(2), (QStringList{"", "b1"}));
    // The next load sets every flag again before reading its own marks.
    ASSERT_TRUE(ch.loadRingingLines(3, {"200;m-,b+,x-,s", "s1"}, 300).loaded);
    EXPECT_TRUE(ch.isGroupAnimated(0));
    EXPECT_FALSE(ch.isGroupAnimated(1));
    EXPECT_TRUE(ch.isGroupAnimated(2));
}

// Header rules: a non-integer first field keeps the interval and every group
// animated, and the first line is dropped all the same.
TEST(TChannels, HeaderlessBodiesKeepTheIntervalAndLoseTheirFirstLine) {
    struct Case {
        QStringList body;
        QStringList common;
        int interval;
        bool smallAnimated;
    };
    const Case cases[] = {
        // A body written without a header: its first column is taken as header.
        {{"s1,m1", "b1", "s2"}, {"b1", "s2"}, 333, true},
        // Marks behind a header that is no number count for nothing.
        {{"fast;s-", "s1"}, {"s1"}, 333, true},
        // An empty first line is a header without an interval.
        {{"", "s1"}, {"s1"}, 333, true},
        // The single line "50": all scores empty, interval 50.
        {{"50"}, {}, 50, true},
        // Blanks around the number are allowed; a further field is ignored.
        {{" 120 ;s-;junk", "s1"}, {"s1"}, 120, false},
    };
    for (const Case& c : cases) {
        TChannels ch;
        ch.common() = {"old"};
        const RingingLoadResult r = ch.loadRingingLines(3, c.body, 333);
        ASSERT_TRUE(r.loaded) << c.body.join('|').toStdString();
        EXPECT_EQ(ch.common(), c.common) << c.body.join('|').toStdString();
        EXPECT_EQ(r.interval, c.interval) << c.body.join('|').toStdString();
        EXPECT_EQ(ch.isGroupAnimated(0), c.smallAnimated);
        for (int g = 0; g < 3; ++g) {
            EXPECT_EQ(ch.score(g).size(), c.common.size());
        }
    }
}

// A missing or empty file changes no score and no interval.
TEST(TChannels, MissingOrEmptyFileChangesNothing) {
    QTemporaryDir dir;
    TChannels ch;
    ASSERT_TRUE(ch.loadRingingLines(3, {"100;s-", "s1,m1"}, 144).loaded);
    const QStringList before = ch.common();

    EXPECT_FALSE(ch.LoadRinging(3, dir.filePath("missing.kol"), 100).loaded);
    EXPECT_EQ(ch.common(), before);
    EXPECT_FALSE(ch.isGroupAnimated(0)); // not even the flags move

    const QString empty = dir.filePath("empty.kol");
    ASSERT_TRUE(writeTextLines(empty, {}));
    EXPECT_FALSE(ch.LoadRinging(3, empty, 100).loaded);
    EXPECT_EQ(ch.common(), before);
    EXPECT_EQ(ch.score(0), QStringList{"s1"});
    // An empty file still sets the flags: the header could not be read.
    EXPECT_TRUE(ch.isGroupAnimated(0));

    EXPECT_FALSE(ch.loadRingingLines(4, {"144", "s1"}, 100).loaded);
    EXPECT_EQ(ch.common(), before);
}

// Header intervals are kept in the tempo range; a header-less body keeps
// whatever interval the sequencer has.
TEST(TChannels, HeaderIntervalStaysInTheTempoRange) {
    TChannels ch;
    EXPECT_EQ(ch.loadRingingLines(3, {"0", "s1"}, 144).interval, 50);
    EXPECT_EQ(ch.loadRingingLines(3, {"-20", "s1"}, 144).interval, 50);
    EXPECT_EQ(ch.loadRingingLines(3, {"5000", "s1"}, 144).interval, 1000);
    EXPECT_EQ(ch.loadRingingLines(3, {"5000", "s1"}, 144).headerInterval, 5000);
    EXPECT_EQ(ch.loadRingingLines(3, {"99999999999", "s1"}, 1050).interval, 1050);
    EXPECT_EQ(ch.loadRingingLines(3, {"1e3", "s1"}, 1050).interval, 1050);
}

// Group ringings: cut to 128 columns, the common score always 128, the other
// groups kept, the interval back to 144 whatever the header says.
TEST(TChannels, GroupRingingsAreCutAndMerged) {
    TChannels ch;
    QStringList middle = numbered("m", 10);
    middle.prepend("600");
    ASSERT_TRUE(ch.loadRingingLines(1, middle, 300).loaded);
    EXPECT_EQ(ch.score(1).size(), 10);
    ASSERT_EQ(ch.common().size(), 128);
    EXPECT_EQ(ch.common()[9], "m9");
    for (int i = 10; i < 128; ++i) {
        EXPECT_TRUE(ch.common()[i].isEmpty()) << i;
    }

    QStringList small = numbered("s", 200);
    small.prepend("80;s-");
    const RingingLoadResult r = ch.loadRingingLines(0, small, 300);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.interval, 144);
    EXPECT_FALSE(ch.isGroupAnimated(0));
    EXPECT_EQ(ch.score(0).size(), 128);
    EXPECT_EQ(ch.score(1).size(), 10); // the middle ringing stays
    ASSERT_EQ(ch.common().size(), 128);
    EXPECT_EQ(ch.common()[3], "s3,m3");
    EXPECT_EQ(ch.common()[127], "s7");
}

// Merge and split by the documented examples.
TEST(TChannels, MergeAndSplitExamples) {
    TChannels ch;
    ch.score(0) = {"s1", "", "s1,s2", "s3"};
    ch.score(1) = {"m2", "m2", "", "m1"};
    ch.score(2) = {"", "", "b1"};
    ch.MergeGroupScores();
    ASSERT_EQ(ch.common().size(), 128);
    // "s1" with "m2" is "s1,m2"; an empty small line with "m2" is "m2".
    EXPECT_EQ(ch.common().mid(0, 4), (QStringList{"s1,m2", "m2", "s1,s2,b1", "s3,m1"}));
    EXPECT_TRUE(ch.scratch().isEmpty());

    // Tokens of other letters stay in the common line but join no group.
    ch.common() = {"s1,#2,v,m2,b1", "", "s1,,s2,", "b3,m1,s4,xx"};
    ch.SplitCommonScore();
    EXPECT_EQ(ch.score(0), (QStringList{"s1", "", "s1,s2", "s4"}));
    EXPECT_EQ(ch.score(1), (QStringList{"m2", "", "", "m1"}));
    EXPECT_EQ(ch.score(2), (QStringList{"b1", "", "", "b3"}));
    EXPECT_EQ(ch.common()[0], "s1,#2,v,m2,b1");
}

// Merging never glues two tokens together, even one-character ones.
TEST(TChannels, MergeSeparatesEveryNonEmptyPiece) {
    TChannels ch;
    ch.score(0) = {"s"};
    ch.score(1) = {"m2"};
    ch.score(2) = {"v"};
    ch.MergeGroupScores();
    EXPECT_EQ(ch.common()[0], "s,m2,v");
}

// A common ringing has no length limit and reads from a file like any other.
TEST(TChannels, CommonRingingsAreNotCut) {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.kol");
    QStringList body = numbered("b", 1000);
    body.prepend("250;b-");
    ASSERT_TRUE(writeTextLines(path, body));
    TChannels ch;
    const RingingLoadResult r = ch.LoadRinging(3, path, 144);
    ASSERT_TRUE(r.loaded);
    EXPECT_EQ(r.interval, 250);
    EXPECT_EQ(ch.common().size(), 1000);
    EXPECT_EQ(ch.score(2).size(), 1000);
    EXPECT_FALSE(ch.isGroupAnimated(2));
}

// A column holds each bell at most once: a strike token repeated in a column
// (the same group letter and position; the rest of a token does not count)
// is dropped when the ringing is read. Marks are left alone. A column of
// 300,000 "s1" once froze the window for minutes.
TEST(TChannels, RepeatedStrikesInAColumnAreDropped) {
    const std::pair<QString, QString> cases[] = {
        {"s1,s1", "s1"},
        {"s1,m1,s1,b2,m1", "s1,m1,b2"},          // later repeats go, order stays
        {"s1x,s1", "s1x"},                       // the same bell by its first two characters
        {"b9,s9,m9", "b9,s9,m9"},                // other groups are other bells
        {"#a,#a,v5,v5", "#a,#a,v5,v5"},          // marks are no strikes
        {"s1,,s1,", "s1,,"},                     // empty tokens stay where they were
        {"", ""},
    };
    for (const auto& [column, kept] : cases) {
        TChannels ch;
        ASSERT_TRUE(ch.loadRingingLines(3, {"144", column, column}, 144).loaded);
        EXPECT_EQ(ch.common(), (QStringList{kept, kept})) << column.toStdString();
    }
    TChannels ch;
    QStringList tokens(300000, QStringLiteral("s1"));
    ASSERT_TRUE(ch.loadRingingLines(3, {"144", tokens.join(u','), "m1"}, 144).loaded);
    EXPECT_EQ(ch.common(), (QStringList{"s1", "m1"}));
}
