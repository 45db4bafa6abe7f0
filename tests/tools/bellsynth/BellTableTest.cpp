// Reading the table of bells: the real table is complete, and a damaged one
// is refused with the line and the reason rather than half read.

#include "BellTable.h"
#include "BellModel.h"
#include "BellTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace bellsynth;

namespace {

// A small valid table: three rows of fifteen bells with two partials each.
std::string smallTable() {
    std::string t;
    for (int r = 1; r <= 3; ++r) {
        t += "row " + std::to_string(r) + "\n";
        t += "name Ряд " + std::to_string(r) + "\n";
        t += "pitch-constant 8000\n";
        t += "partial nominal 1.0 0 1 0.2 0 0   # the reference\n";
        t += "partial hum 0.25 -6 1 0 0 20\n";
        for (int b = 0; b < 15; ++b) {
            t += "bell " + std::to_string(1000 - 50 * b) + " - " + std::to_string(20 - b) + " 0 1.5 0 0 0\n";
        }
    }
    return t;
}

std::optional<BellTable> parse(const std::string& text, std::string& error) {
    std::istringstream in(text);
    return parseBellTable(in, error);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(BellTable, ReadsAValidTable) {
    std::string error;
    const std::optional<BellTable> t = parse(smallTable(), error);
    ASSERT_TRUE(t.has_value()) << error;
    ASSERT_EQ(t->rows.size(), 3u);
    EXPECT_EQ(t->rows[0].name, "Ряд 1");
    EXPECT_EQ(t->rows[2].bells.size(), 15u);
    EXPECT_EQ(t->rows[1].partials[1].riseMs, 20.0);
    EXPECT_EQ(t->rows[0].referencePartial(), 0);
    // A bell without a nominal takes it from its weight: 8000 / 1000^(1/3).
    EXPECT_DOUBLE_EQ(t->rows[0].nominalOf(0), 800.0);
}

// Each damage is caught, on its own line, with a reason a reader can act on.
TEST(BellTable, RefusesDamagedTables) {
    const std::string good = smallTable();
    struct Case {
        std::string text;
        std::string expected; // part of the message
    };
    const Case cases[] = {
        // a typo in a value must not silently become 0
        {replaced(good, "pitch-constant 8000", "pitch-constant 80o0"), "line 3: \"80o0\" is not a number"},
        // an unknown record is not skipped
        {replaced(good, "pitch-constant 8000", "pitch-konstant 8000"), "unknown record"},
        // a missing value does not shift the columns
        {replaced(good, "partial hum 0.25 -6 1 0 0 20", "partial hum 0.25 -6 1 0 0"), "takes 6 values"},
        // a sixteenth bell has no sample to go to
        {replaced(good, "row 2\n", "bell 10 - 5 0 1 0 0 0\nrow 2\n"), "holds 15 bells"},
        // a short row would leave sample files unwritten
        {replaced(good, "bell 300 - 6 0 1.5 0 0 0\n", ""), "holds 14 bells, not 15"},
        // without exactly one reference the partials have nothing to be relative to
        {replaced(good, "partial nominal 1.0", "partial nominal 1.01"), "exactly one partial of ratio 1"},
        // rows out of order would write row 2's sounds into Model3
        {replaced(good, "row 2\n", "row 3\n"), "expected row 2"},
        // settings before the first row belong to no row
        {"loudness -15\n" + good, "before the first row"},
        // a growl beyond 1 or a zero ring time makes no sound worth having
        {replaced(good, "bell 1000 - 20 0 1.5 0 0 0", "bell 1000 - 20 0 1.5 0 0 1.5"), "growl from 0 to 1"},
        {replaced(good, "bell 1000 - 20 0 1.5 0 0 0", "bell 1000 - 0 0 1.5 0 0 0"), "positive ring"},
        // a missing row
        {good.substr(0, good.find("row 3")), "must hold 3 rows"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(parse(c.text, error).has_value()) << c.expected;
        EXPECT_NE(error.find(c.expected), std::string::npos) << "message: " << error;
    }
}

// The table the build uses is complete: every church bell keeps at least 20
// partials below the highest frequency a sample can hold, plates their modes.
TEST(BellTable, EveryChurchBellHasTwentyPartials) {
    const BellTable& t = belltest::table();
    ASSERT_EQ(t.rows.size(), 3u);
    for (const BellRow& row : t.rows) {
        for (int b = 0; b < kBellsPerRow; ++b) {
            const BellVoice v = buildBellVoice(row, b, 48000.0);
            const size_t least = row.strikeRatio < 1.0 ? 20u : 8u;
            EXPECT_GE(v.places.size(), least) << "row " << row.number << " bell " << b;
        }
    }
}

TEST(BellTable, MissingFileIsNamed) {
    std::string error;
    EXPECT_FALSE(loadBellTable("/nonexistent/bells.table", error).has_value());
    EXPECT_NE(error.find("/nonexistent/bells.table"), std::string::npos);
}
