#include "ringing/TextLists.h"

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
