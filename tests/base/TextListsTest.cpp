#include "base/TextLists.h"

#include <gtest/gtest.h>

// A trailing separator gives no empty last piece; adjacent ones give empty pieces.
TEST(SplitList, KeepsInnerEmptyPiecesOnly) {
    EXPECT_EQ(SplitList("a;b;", ";"), (QStringList{"a", "b"}));
    EXPECT_EQ(SplitList("a;;b", ";"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitList(";a", ";"), (QStringList{"", "a"}));
    EXPECT_EQ(SplitList(";", ";"), (QStringList{""}));
    EXPECT_EQ(SplitList("a;;", ";"), (QStringList{"a", ""}));
    EXPECT_TRUE(SplitList("", ";").isEmpty());
    QStringList reused{"old"};
    SplitList("x", ",", reused);
    EXPECT_EQ(reused, QStringList{"x"});
}

// Replacement restarts from the beginning, so occurrences it completes are replaced too.
TEST(ReplaceAll, RestartsAfterEachReplacement) {
    EXPECT_EQ(ReplaceAll("aab", "ab", "b"), "b");
    EXPECT_EQ(ReplaceAll("[[}}", "[}", ""), "");
    EXPECT_EQ(ReplaceAll("^%^%", "^%", ","), ",,");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("s1,s2", "s", "{"), "{1,{2");
}

// A replacement holding its own search text ends (one pass) instead of looping.
TEST(ReplaceAll, SelfContainingReplacementEnds) {
    EXPECT_EQ(ReplaceAll("a,b", ",", ",,"), "a,,b");
    EXPECT_EQ(ReplaceAll("xx", "x", "xy"), "xyxy");
}

// Chains that keep completing new occurrences are cut off instead of growing
// without bound; chains that end give the restarting result.
TEST(ReplaceAll, GrowingChainsStayBounded) {
    // Each "ab" -> "bba" moves an "a" right and doubles the "b"s: 2^n growth.
    const QString text = QString(40, u'a') + u'b';
    const QString once = ReplaceAll(text, "ab", "bba");
    EXPECT_LE(once.size(), 3 * text.size());
    EXPECT_EQ(once, QString(39, u'a') + "bba");
    // A short chain that ends is carried to its end.
    EXPECT_EQ(ReplaceAll("aab", "ab", "bba"), "bbbbaa");
    // Removal that joins the pieces of a new occurrence keeps going.
    EXPECT_EQ(ReplaceAll("aabb", "ab", ""), "");
    EXPECT_EQ(ReplaceAll("abaaba", "aba", "ab"), "abba");
}

// Splitting at an empty separator gives the whole text as one piece.
TEST(SplitList, EmptySeparatorGivesOnePiece) {
    EXPECT_EQ(SplitList("a;b", ""), QStringList{"a;b"});
}
