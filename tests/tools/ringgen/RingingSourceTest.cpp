#include "RingingSource.h"

#include <gtest/gtest.h>

namespace {

RingingSource parseOk(const QString& text) {
    const SourceParse parsed = parseRingingSource(text, QStringLiteral("t.zvon"));
    EXPECT_TRUE(parsed.errors.isEmpty()) << parsed.errors.join(u'\n').toStdString();
    return parsed.ringing.value_or(RingingSource{});
}

QStringList parseErrors(const QString& text) {
    return parseRingingSource(text, QStringLiteral("t.zvon")).errors;
}

} // namespace

// Short rows tile their pattern, several tokens strike together, and play
// lines string patterns, repeats and rests in order.
TEST(RingingSource, ExpandsPatternsRowsAndPlay) {
    const RingingSource r = parseOk(QStringLiteral("name = Проба   # a comment\n"
                                                   "interval = 130\n"
                                                   "pattern a 8\n"
                                                   "b1     x...|....\n"
                                                   "s1+m2  .x\n"
                                                   "pattern b 2\n"
                                                   "m1  x.\n"
                                                   "play a ~2\n"
                                                   "play b*2\n"));
    EXPECT_EQ(r.name, QStringLiteral("Проба"));
    EXPECT_EQ(r.interval, 130);
    ASSERT_EQ(r.columns.size(), 14);
    EXPECT_EQ(r.columns.at(0), QStringList{"b1"});
    EXPECT_EQ(r.columns.at(1), (QStringList{"s1", "m2"}));
    EXPECT_EQ(r.columns.at(7), (QStringList{"s1", "m2"}));
    EXPECT_TRUE(r.columns.at(8).isEmpty()); // the rest
    EXPECT_TRUE(r.columns.at(9).isEmpty()); // the rest
    EXPECT_EQ(r.columns.at(10), QStringList{"m1"});
    EXPECT_EQ(r.columns.at(12), QStringList{"m1"});
    EXPECT_TRUE(r.columns.at(13).isEmpty());
}

// Tokens of a column come out small, middle, big and by position, whatever
// the order of the rows, so bodies do not change when rows are reordered.
TEST(RingingSource, OrdersTokensWithinAColumn) {
    const RingingSource r = parseOk(QStringLiteral("name = x\ninterval = 100\npattern p 1\n"
                                                   "b2 x\nb1 x\nm3 x\ns2+m1 x\ns1 x\nplay p\n"));
    ASSERT_EQ(r.columns.size(), 1);
    EXPECT_EQ(r.columns.at(0), (QStringList{"s1", "s2", "m1", "m3", "b1", "b2"}));
}

// The stored body: header with or without marks, one line per column,
// empty columns kept, trailing ones included.
TEST(RingingSource, BodyLinesKeepHeaderAndEmptyColumns) {
    RingingSource r = parseOk(QStringLiteral("name = x\ninterval = 144\nmarks = s-\n"
                                             "pattern p 3\ns1+s2 x..\nplay p\n"));
    EXPECT_EQ(r.bodyLines(), (QStringList{"144;s-", "s1,s2", "", ""}));
    r.marks.clear();
    EXPECT_EQ(r.bodyLines().first(), QStringLiteral("144"));
}

// Each mistake a person editing a source can make is reported with its line.
TEST(RingingSource, ReportsMistakesWithTheirLine) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        // a row that does not divide its pattern would silently shift the beat
        {"name = x\ninterval = 1\npattern p 8\nb1 x..\nplay p\n", "t.zvon:4: a row of 3 cells"},
        // a stray letter in the cells would be lost without a word
        {"name = x\ninterval = 1\npattern p 2\nb1 xo\nplay p\n", "t.zvon:4: cell \"o\""},
        // the same bell twice in one column is a copy-paste slip
        {"name = x\ninterval = 1\npattern p 2\nb1 x.\nb1+m1 x.\nplay p\n", "b1 is struck twice"},
        // a misspelt pattern name in play
        {"name = x\ninterval = 1\npattern p 2\nb1 x.\nplay q\n", "t.zvon:5: no pattern \"q\""},
        // rows must belong to a pattern
        {"name = x\ninterval = 1\nb1 x.\nplay p\n", "t.zvon:3: a strike row outside"},
        // unknown keys are typos, not silently ignored settings
        {"name = x\ninterval = 1\ntempo = 2\n", "unknown key \"tempo\""},
        // a key given twice would let one silently win
        {"name = x\nname = y\ninterval = 1\n", "\"name\" given twice"},
        {"name = x\ninterval = fast\n", "is not a whole number"},
        {"name = x\ninterval = 1\nstore = zipped\n", "store must be"},
        {"interval = 1\npattern p 1\nb1 x\nplay p\n", "\"name\" is missing"},
        {"name = x\ninterval = 1\n", "nothing to play"},
        {"name = x\ninterval = 1\npattern p\n", "pattern <name> <columns>"},
        {"name = x\ninterval = 1\npattern p 1\npattern p 1\n", "defined twice"},
        {"name = x\ninterval = 1\npattern p 1\nb1 x\nplay p*\n", "cannot read play item"},
        {"name = x\ninterval = 1\nwhatever\n", "cannot read \"whatever\""},
    };
    for (const Case& c : cases) {
        const QStringList errors = parseErrors(QString::fromUtf8(c.text));
        EXPECT_TRUE(errors.join(u'\n').contains(QString::fromUtf8(c.expected)))
            << c.text << "\n=> " << errors.join(u'\n').toStdString();
        EXPECT_FALSE(parseRingingSource(QString::fromUtf8(c.text), "t.zvon").ringing.has_value());
    }
}

// "store = encoded" is remembered; plain is the default.
TEST(RingingSource, StoreChoice) {
    EXPECT_FALSE(parseOk("name = x\ninterval = 1\npattern p 1\nb1 x\nplay p\n").encoded);
    EXPECT_TRUE(parseOk("name = x\ninterval = 1\nstore = encoded\npattern p 1\nb1 x\nplay p\n").encoded);
}
