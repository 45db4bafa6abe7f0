#include "ringing/RingingText.h"
#include "base/TextCodec.h"
#include "base/TextLists.h"

#include <gtest/gtest.h>

#include <QSet>

#include <random>

namespace {

QStringList decoded(QStringList lines) {
    DecodeRingingText(lines);
    return lines;
}

// Writes body lines the way the user ringing writer does and reads the
// stored line back the way the loader does.
QStringList roundTrip(const QStringList& body, int lineBreak, int comma) {
    const QString stored = EncodeRingingText(joinCrLf(body), lineBreak, comma);
    return decoded(QStringList{stored});
}

} // namespace

// The documented example, byte for byte: "&" and "~" drawn.
TEST(RingingText, WorkedExampleEncodesExactly) {
    const QStringList body{"144", "s1,m1", "", "b1,s2"};
    EXPECT_EQ(EncodeRingingText(joinCrLf(body), 1, 1), QStringLiteral("144&{1~[}1&&!1~{2&"));
    EXPECT_EQ(decoded({QStringLiteral("144&{1~[}1&&!1~{2&")}), body);
}

// Every one of the sixteen symbol pairs carries bodies back unchanged,
// including empty columns in the middle and at the end.
TEST(RingingText, EverySymbolChoiceRoundTrips) {
    const QList<QStringList> bodies = {
        {"144", "s1,m1", "", "b1,s2"},
        {"144;s-,m-", "s1,s2,s3,m1,m2,b1", "", "", "b12,s3", "#2,v", "-1;2", ""},
        {"50", "", "", ""},
        {"1000"},
        {""},
        {"", "s1"},
    };
    for (int lb = 0; lb < 4; ++lb) {
        for (int comma = 0; comma < 4; ++comma) {
            for (const QStringList& body : bodies) {
                const QString stored = EncodeRingingText(joinCrLf(body), lb, comma);
                // One line whatever the body held.
                EXPECT_FALSE(stored.contains(u'\r') || stored.contains(u'\n')) << stored.toStdString();
                EXPECT_EQ(roundTrip(body, lb, comma), body)
                    << lb << "/" << comma << ": " << stored.toStdString();
            }
        }
    }
}

// A body written without a final line break (an older writer, or by hand)
// reads back without losing its last column.
TEST(RingingText, ReadsBodiesEndingEitherWay) {
    EXPECT_EQ(decoded({QStringLiteral("144&{1~[}1&&!1~{2")}), (QStringList{"144", "s1,m1", "", "b1,s2"}));
    EXPECT_EQ(decoded({QStringLiteral("144_{1__")}), (QStringList{"144", "s1", ""}));
    // A line that is only the symbol is one empty column, not two.
    EXPECT_EQ(decoded({QStringLiteral("144"), QStringLiteral("@"), QStringLiteral("{1")}),
              (QStringList{"144", "", "s1"}));
}

// The encoder draws from the given generator; the same seed gives the same file.
TEST(RingingText, DrawnSymbolsFollowTheGenerator) {
    const QStringList body{"144", "s1,m2", "", "b1"};
    std::mt19937 a(7);
    std::mt19937 b(7);
    const QString first = EncodeRingingText(joinCrLf(body), a);
    EXPECT_EQ(first, EncodeRingingText(joinCrLf(body), b));
    EXPECT_EQ(decoded({first}), body);
    // Over many draws every symbol of both tables turns up.
    std::mt19937 rng(1);
    QSet<int> lineBreaks;
    QSet<int> commas;
    for (int i = 0; i < 200; ++i) {
        const SymbolChoice c = SymbolChoice::draw(rng);
        lineBreaks.insert(c.lineBreak);
        commas.insert(c.comma);
    }
    EXPECT_EQ(lineBreaks.size(), 4);
    EXPECT_EQ(commas.size(), 4);
}

// Each step works on what the steps before it produced, in the table's order.
TEST(RingingText, DecodeStepsRunInOrderOverTheWholeText) {
    // The header marks decode like the columns.
    EXPECT_EQ(decoded({"144;{-", "{1~[}2", "!1"}), (QStringList{"144;s-", "s1,m2", "b1"}));
    // Plain bodies pass unchanged, empty lines included.
    const QStringList plain{"144;s-,m+", "s1,m1", "", "b1,#3,v", ""};
    EXPECT_EQ(decoded(plain), plain);
    // "<" and ">" vanish last, so they can keep partners apart: "[<}" stays "[}".
    EXPECT_EQ(decoded({"[<}", "^>%", "a<b>c"}), (QStringList{"[}", "^%", "abc"}));
    // Unpartnered "^", "*", "[" stay.
    EXPECT_EQ(decoded({"^*[", "%]}"}), (QStringList{"^*[", "%]}"}));
    // Line breaks made by an earlier step split lines for the later ones.
    EXPECT_EQ(decoded({"1_2&3@4$5"}), (QStringList{"1", "2", "3", "4", "5"}));
    EXPECT_TRUE(decoded({}).isEmpty());
}

// The writer's guard: only bodies the substitution carries unchanged.
TEST(RingingText, KnowsWhichBodiesItCarries) {
    EXPECT_TRUE(isCarriedByEncoding({"144;s-", "s1,m2,b3", "", "#1,v", "-5"}));
    EXPECT_FALSE(isCarriedByEncoding({"144", "s1^%"}));
    EXPECT_FALSE(isCarriedByEncoding({"144", "s_1"}));
    EXPECT_FALSE(isCarriedByEncoding({"144", "a\rb"}));
}

// A one-line result whatever line ends the body text uses.
TEST(RingingText, EveryLineEndBecomesTheSymbol) {
    EXPECT_EQ(EncodeRingingText(QStringLiteral("144\r\ns1\rm1\nb1"), 3, 3), QStringLiteral("144${1$[}1$!1"));
}
