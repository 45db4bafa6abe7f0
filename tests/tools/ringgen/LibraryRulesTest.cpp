#include "LibraryRules.h"

#include <gtest/gtest.h>

namespace {

// A ringing of `count` columns that strikes each token once, in the first
// columns, the rest empty.
RingingSource ringing(const QStringList& tokens, int count, int interval = 200) {
    RingingSource r;
    r.name = QStringLiteral("Проба");
    r.interval = interval;
    for (int c = 0; c < count; ++c) {
        r.columns.append(c < tokens.size() ? QStringList{tokens.at(c)} : QStringList{});
    }
    return r;
}

RingingSource common(const QString& require, const QStringList& tokens, int count = 300) {
    RingingSource r = ringing(tokens, count);
    r.require = require;
    return r;
}

bool mentions(const QStringList& errors, const char* text) {
    return errors.join(u'\n').contains(QString::fromUtf8(text));
}

} // namespace

// A well-formed ringing of each list passes.
TEST(LibraryRules, AcceptsSoundRingings) {
    EXPECT_TRUE(checkRinging(common("221", {"s1", "s2", "m1", "m2", "b1"}), RingingList::Common).isEmpty());
    RingingSource small = ringing({"s1", "s2", "s3"}, 128, 144);
    small.require = "3";
    EXPECT_TRUE(checkRinging(small, RingingList::Small).isEmpty());
    RingingSource list = ringing({"s1", "s2", "m1", "m2", "b1"}, 300);
    list.types = "bnnnnnnnnmmnnss";
    list.description = "Описание";
    EXPECT_TRUE(checkRinging(list, RingingList::Custom).isEmpty());
}

// Each broken rule is caught: a ringing offered to an ensemble that lacks a
// bell it names, a group ringing that would not loop or would sound in
// another group, a tempo the sequencer cannot take, a length outside the
// library's range.
TEST(LibraryRules, CatchesEveryBrokenRule) {
    struct Case {
        RingingSource ringing;
        RingingList list;
        const char* expected;
    };
    auto with = [](RingingSource r, auto change) {
        change(r);
        return r;
    };
    const RingingSource groupBase =
        with(ringing({"m1", "m2"}, 128, 144), [](RingingSource& r) { r.require = "2"; });
    const Case cases[] = {
        // m3 is named but the requirement allows two middle bells
        {common("221", {"s1", "s2", "m1", "m2", "m3", "b1"}), RingingList::Common, "names m3"},
        // position 0 names no bell
        {common("221", {"s1", "s2", "m1", "m2", "b1", "b0"}), RingingList::Common, "names b0"},
        // the requirement asks for a second small bell the ringing never strikes
        {common("221", {"s1", "m1", "m2", "b1"}), RingingList::Common, "s2 is never struck"},
        {common("22", {"s1"}), RingingList::Common, "requirement \"22\" is malformed"},
        {common("221", {"s1", "s2", "m1", "m2", "b1"}, 140), RingingList::Common, "keep it between 30 s"},
        {common("221", {"s1", "s2", "m1", "m2", "b1"}, 1000), RingingList::Common, "keep it between 30 s"},
        {with(common("221", {"s1", "s2", "m1", "m2", "b1"}), [](RingingSource& r) { r.interval = 40; }),
         RingingList::Common, "interval 40 is outside"},
        {with(common("221", {"s1", "s2", "m1", "m2", "b1"}), [](RingingSource& r) { r.name = "a;b"; }),
         RingingList::Common, "the name must be"},
        {with(common("221", {"s1", "s2", "m1", "m2", "b1"}), [](RingingSource& r) { r.description = "x"; }),
         RingingList::Common, "only list ringings carry"},
        // a small bell inside a middle ringing would sound in the wrong group
        {with(groupBase, [](RingingSource& r) { r.columns[5] = {"s1"}; }), RingingList::Middle, "names s1"},
        {with(groupBase, [](RingingSource& r) { r.columns.removeLast(); }), RingingList::Middle,
         "exactly 128 columns, not 127"},
        {with(groupBase, [](RingingSource& r) { r.require = "8"; }), RingingList::Middle, "outside 2..7"},
        {with(groupBase, [](RingingSource& r) { r.require = "1"; }), RingingList::Middle, "outside 2..7"},
        // a group marked as chords must never strike one of its bells alone
        {with(groupBase, [](RingingSource& r) { r.marks = "m-"; }), RingingList::Middle,
         "strikes one bell alone"},
        {with(groupBase, [](RingingSource& r) { r.marks = "m+"; }), RingingList::Middle,
         "is not s-, m- or b-"},
        {with(common("221", {"s1", "s2", "m1", "m2", "b1"}), [](RingingSource& r) { r.marks = "b-"; }),
         RingingList::Common, "needs at least two bells"},
    };
    for (const Case& c : cases) {
        const QStringList errors = checkRinging(c.ringing, c.list);
        EXPECT_TRUE(mentions(errors, c.expected)) << c.expected << " => " << errors.join(u'\n').toStdString();
    }
}

// A list ringing's ensemble must be one the hand adjustments could make.
TEST(LibraryRules, ListRingingEnsembleLimits) {
    struct Case {
        const char* types;
        const char* expected; // nullptr: accepted
    };
    const Case cases[] = {
        {"bbbbbmmmmmmmsss", nullptr},
        {"bnnnnnnnnnmnsss", nullptr},
        // bell 10 is too big to ring in the small group
        {"bnnnnnnnnmsnnss", "bell 10 is too big"},
        // four small bells exceed the small group's limit
        {"bnnnnnnnnnmssss", "exceeds the group limits"},
        {"bbbbbbmmmmmmsss", "exceeds the group limits"},
        {"bmmmmmmmmnnnsss", "exceeds the group limits"},
        {"bnnnnnnnnnmnnss", "fewer than five"},
        {"bnnnnnnnnnmnss", "fifteen letters"},
        {"bnnnnnnnnnmxsss", "fifteen letters"},
    };
    for (const Case& c : cases) {
        RingingSource r;
        r.name = "Проба";
        r.interval = 200;
        r.types = c.types;
        r.description = "Описание";
        const auto sizes = allowedGroupSizes(r, RingingList::Custom);
        for (int col = 0; col < 200; ++col) {
            QStringList column;
            if (sizes && col == 0) {
                for (int g = 0; g < 3; ++g) {
                    for (int p = 1; p <= (*sizes)[g]; ++p) {
                        column.append(QString(QStringLiteral("smb").at(g)) + QString::number(p));
                    }
                }
            }
            r.columns.append(column);
        }
        const QStringList errors = checkRinging(r, RingingList::Custom);
        if (c.expected == nullptr) {
            EXPECT_TRUE(errors.isEmpty()) << c.types << " => " << errors.join(u'\n').toStdString();
        } else {
            EXPECT_TRUE(mentions(errors, c.expected))
                << c.types << " => " << errors.join(u'\n').toStdString();
        }
    }
}

// The Bells line follows from the Types line; the requirement from the list.
TEST(LibraryRules, DerivedEnsembleAndSizes) {
    EXPECT_EQ(bellsForTypes("bbnmnmnmnmnsssn"), QStringLiteral("110101010101110"));
    RingingSource r;
    r.require = "3";
    EXPECT_EQ(allowedGroupSizes(r, RingingList::Big), (std::array<int, 3>{0, 0, 3}));
    EXPECT_EQ(allowedGroupSizes(r, RingingList::Small), (std::array<int, 3>{3, 0, 0}));
    r.require = "372";
    EXPECT_EQ(allowedGroupSizes(r, RingingList::Common), (std::array<int, 3>{3, 7, 2}));
    EXPECT_FALSE(allowedGroupSizes(r, RingingList::Middle).has_value());
    r.require = "3a2";
    EXPECT_FALSE(allowedGroupSizes(r, RingingList::Common).has_value());
}
