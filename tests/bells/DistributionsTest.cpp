#include "bells/Distributions.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>

namespace {

Ensemble selected(std::initializer_list<int> bells) {
    Ensemble e;
    for (int b : bells) {
        e.setSelected(b, true);
    }
    return e;
}

Ensemble firstBells(int n) {
    Ensemble e;
    for (int b = 0; b < n; ++b) {
        e.setSelected(b, true);
    }
    return e;
}

std::set<int> groupOf(const Ensemble& e, int group) {
    std::set<int> bells;
    for (int b = 0; b < kBellCount; ++b) {
        if (e.isSelected(b) && e.group(b) == group) {
            bells.insert(b);
        }
    }
    return bells;
}

} // namespace

// Every row of the table: its slots, the number of variants and the message wording.
TEST(Distributions, TableRowsAndMessages) {
    struct Row {
        int n;
        const char* v0;
        const char* v1;
        int variants;
        const char* word;
    };
    const Row rows[] = {
        {5, "221", "000", 1, "вариант "},   {6, "231", "000", 1, "вариант "},
        {7, "331", "241", 2, "варианта "},  {8, "341", "332", 2, "варианта "},
        {9, "342", "000", 1, "вариант "},   {10, "352", "343", 2, "варианта "},
        {11, "353", "362", 2, "варианта "}, {12, "363", "372", 2, "варианта "},
        {13, "373", "000", 1, "вариант "},  {14, "374", "365", 2, "варианта "},
        {15, "375", "000", 1, "вариант "},
    };
    const Distributions d;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.n);
        EXPECT_EQ(d.slot(row.n, 0), QString::fromLatin1(row.v0));
        EXPECT_EQ(d.slot(row.n, 1), QString::fromLatin1(row.v1));
        for (int v = 2; v < Distributions::kSlots; ++v) {
            EXPECT_EQ(d.slot(row.n, v), QStringLiteral("000"));
        }
        EXPECT_EQ(d.variantCount(row.n), row.variants);
        const QString expected =
            QStringLiteral("Для %1 колоколов существует %2 %3рекомендуемых распределений по группам.")
                .arg(row.n)
                .arg(row.variants)
                .arg(QString::fromUtf8(row.word));
        EXPECT_EQ(d.message(row.n), expected);
        // Each filled slot's digits add up to the bell count.
        for (int v = 0; v < row.variants; ++v) {
            const QString s = d.slot(row.n, v);
            EXPECT_EQ(s[0].digitValue() + s[1].digitValue() + s[2].digitValue(), row.n);
        }
    }
    // Below five bells (and outside the table) there is no distribution.
    for (int n : {0, 1, 4}) {
        EXPECT_EQ(d.message(n), QStringLiteral("Необходимо выбрать не менее 5 колоколов"));
        EXPECT_EQ(d.variantCount(n), 0);
    }
    EXPECT_EQ(d.slot(16, 0), QStringLiteral("000"));
    EXPECT_EQ(d.slot(10, -1), QStringLiteral("000"));
}

// The buttons at each variant: next only onto a filled slot, previous above variant 0, none below five bells.
TEST(Distributions, NavigationAtEachVariant) {
    const Distributions d;
    using Nav = Distributions::Navigation;
    EXPECT_EQ(d.navigation(4, 0), (Nav{false, false}));
    EXPECT_EQ(d.navigation(4, 1), (Nav{false, false}));
    EXPECT_EQ(d.navigation(5, 0), (Nav{false, false}));
    EXPECT_EQ(d.navigation(7, 0), (Nav{false, true}));
    EXPECT_EQ(d.navigation(7, 1), (Nav{true, false}));
    EXPECT_EQ(d.navigation(9, 0), (Nav{false, false}));
    EXPECT_EQ(d.navigation(14, 1), (Nav{true, false}));
    // Variant 4 never offers a next slot.
    EXPECT_EQ(d.navigation(15, 4), (Nav{true, false}));
}

// The worked example: bells 0..9 at variant 0 end with big {0,1,8}, middle {2..7,9}, small empty.
TEST(Distributions, WorkedExampleWithCorrection) {
    Ensemble e = firstBells(10);
    Distributions().assign(e, 0);
    EXPECT_EQ(groupOf(e, kBigGroup), (std::set<int>{0, 1, 8}));
    EXPECT_EQ(groupOf(e, kMiddleGroup), (std::set<int>{2, 3, 4, 5, 6, 7, 9}));
    EXPECT_TRUE(groupOf(e, kSmallGroup).empty());
}

// Five bells 10..14: big {10}, middle {11,12}, small {13,14}; unselected bells get group 0.
TEST(Distributions, FiveBellExample) {
    Ensemble e = selected({10, 11, 12, 13, 14});
    e.setGroup(3, kBigGroup); // a stale code of an unselected bell
    Distributions().assign(e, 0);
    EXPECT_EQ(groupOf(e, kBigGroup), (std::set<int>{10}));
    EXPECT_EQ(groupOf(e, kMiddleGroup), (std::set<int>{11, 12}));
    EXPECT_EQ(groupOf(e, kSmallGroup), (std::set<int>{13, 14}));
    EXPECT_EQ(e.group(3), kNoGroup);
    // Below five bells every code is 0, stale ones included.
    e.setSelected(10, false);
    Distributions().assign(e, 0);
    EXPECT_EQ(e.groupCountsText(), QStringLiteral("000"));
}

// Every bell count and variant: counts follow the slot after correction, no bell 0..10 is small, no group
// over its limit.
TEST(Distributions, AssignmentKeepsLimitsForEverySelection) {
    const Distributions d;
    for (int n = 5; n <= 15; ++n) {
        for (int v = 0; v < d.variantCount(n); ++v) {
            // The n smallest bells (the worst case for the correction) and the n biggest.
            for (int first : {kBellCount - n, 0}) {
                SCOPED_TRACE(QStringLiteral("n=%1 v=%2 first=%3").arg(n).arg(v).arg(first).toStdString());
                Ensemble e;
                for (int b = first; b < first + n; ++b) {
                    e.setSelected(b, true);
                }
                d.assign(e, v);
                EXPECT_EQ(e.groupCount(kSmallGroup) + e.groupCount(kMiddleGroup) + e.groupCount(kBigGroup),
                          n);
                for (int b = 0; b <= 10; ++b) {
                    EXPECT_NE(e.group(b), kSmallGroup) << b;
                }
                EXPECT_LE(e.groupCount(kSmallGroup), 3);
                EXPECT_LE(e.groupCount(kMiddleGroup), 7);
                if (first == kBellCount - n) {
                    // Nothing to correct: the slot's own counts.
                    EXPECT_EQ(e.groupCountsText(), d.slot(n, v));
                }
            }
        }
    }
}

// Drop acceptance per root: small needs index > 10 and room, middle < 7, big < 5; a member counts itself.
TEST(GroupLimits, DropAcceptance) {
    Ensemble e = firstBells(15);
    Distributions().assign(e, 0); // "375": small {12,13,14}, middle {5..11}, big {0..4}
    ASSERT_EQ(e.groupCountsText(), QStringLiteral("375"));
    EXPECT_FALSE(GroupLimits::canTake(e, 5, kSmallGroup));  // index not above 10
    EXPECT_FALSE(GroupLimits::canTake(e, 11, kSmallGroup)); // small group full
    EXPECT_FALSE(GroupLimits::canTake(e, 0, kMiddleGroup)); // middle full at 7
    EXPECT_FALSE(GroupLimits::canTake(e, 5, kBigGroup));    // big full at 5
    EXPECT_FALSE(GroupLimits::canTake(e, 5, kNoGroup));     // not a root

    // A bell already in a full group still counts towards it.
    Ensemble g = selected({0, 1, 2, 3, 4, 5, 6});
    for (int b = 0; b < 5; ++b) {
        g.setGroup(b, kBigGroup);
    }
    EXPECT_FALSE(GroupLimits::canTake(g, 0, kBigGroup));
    EXPECT_TRUE(GroupLimits::canTake(g, 5, kMiddleGroup));
}

// The popup's "add bell" items: selected bells never; with a small root only bells 11..14 while room is left.
TEST(GroupLimits, PopupAddItems) {
    Ensemble e = selected({0, 1, 2, 13, 14});
    Distributions().assign(e, 0); // "221": big {0}, middle {1,2}, small {13,14}
    EXPECT_FALSE(GroupLimits::canAdd(e, 0, std::nullopt));
    EXPECT_TRUE(GroupLimits::canAdd(e, 7, std::nullopt));
    EXPECT_FALSE(GroupLimits::canAdd(e, 7, kSmallGroup));
    EXPECT_TRUE(GroupLimits::canAdd(e, 11, kSmallGroup));
    EXPECT_TRUE(GroupLimits::canAdd(e, 7, kMiddleGroup));
    EXPECT_TRUE(GroupLimits::canAdd(e, 7, kBigGroup));
    e.setSelected(12, true);
    e.setGroup(12, kSmallGroup);
    EXPECT_FALSE(GroupLimits::canAdd(e, 11, kSmallGroup)); // three small bells
    // Full middle and big groups close their roots.
    Ensemble f = firstBells(15);
    f.setSelected(14, false);
    Distributions().assign(f, 1); // 14 bells, "365"
    ASSERT_EQ(f.groupCountsText(), QStringLiteral("365"));
    EXPECT_FALSE(GroupLimits::canAdd(f, 14, kBigGroup));
    EXPECT_TRUE(GroupLimits::canAdd(f, 14, kMiddleGroup));
    EXPECT_FALSE(GroupLimits::canAdd(f, 14, kSmallGroup)); // three small bells already
    // Below five bells the root does not matter.
    Ensemble g = selected({0, 1});
    EXPECT_TRUE(GroupLimits::canAdd(g, 5, kSmallGroup));
}
