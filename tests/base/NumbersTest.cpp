#include "base/Numbers.h"

#include <gtest/gtest.h>

#include <QString>

#include <optional>

namespace {

struct Case {
    const char* text;
    std::optional<int> whole;  // ringing header, catalogue key code, command-line option
    std::optional<int> digits; // catalogue requirements
    int leading;               // settings file
};

// One row per text, read by the three grammars side by side, so a change to
// the shared scanner that widens or narrows one caller's grammar shows here.
const Case kCases[] = {
    {"144", 144, 144, 144},
    {"0", 0, 0, 0},
    {"007", 7, 7, 7},
    // Blanks around the number: accepted by the header and the settings, not by requirements.
    {" 144 ", 144, std::nullopt, 144},
    {"\t50", 50, std::nullopt, 50},
    // Signs.
    {"-20", -20, std::nullopt, -20},
    {"+5", 5, std::nullopt, 5},
    {"-", std::nullopt, std::nullopt, 0},
    {"+ 5", std::nullopt, std::nullopt, 0},
    // Trailing text: only the settings file reads the number in front of it.
    {"144;s-", std::nullopt, std::nullopt, 144},
    {"12abc", std::nullopt, std::nullopt, 12},
    {"1 2", std::nullopt, std::nullopt, 1},
    // No digits at all.
    {"", std::nullopt, std::nullopt, 0},
    {"   ", std::nullopt, std::nullopt, 0},
    {"abc", std::nullopt, std::nullopt, 0},
    {"0x41", std::nullopt, std::nullopt, 0},
    {"1,000", std::nullopt, std::nullopt, 1},
    {"1.5", std::nullopt, std::nullopt, 1},
    // Only ASCII digits are digits (an Arabic-Indic five here).
    {"\xd9\xa5", std::nullopt, std::nullopt, 0},
    // The edges of int; beyond them the settings file stops at the largest magnitude.
    {"2147483647", 2147483647, std::nullopt, 2147483647},
    {"-2147483648", -2147483647 - 1, std::nullopt, -2147483647},
    {"2147483648", std::nullopt, std::nullopt, 2147483647},
    {"99999999999999999999999", std::nullopt, std::nullopt, 2147483647},
    {"-99999999999999999999999", std::nullopt, std::nullopt, -2147483647},
    // Requirements have at most six digits.
    {"123456", 123456, 123456, 123456},
    {"1234567", 1234567, std::nullopt, 1234567},
};

} // namespace

TEST(Numbers, EachGrammarAcceptsExactlyItsOwnTexts) {
    for (const Case& c : kCases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numbers::parseWholeNumber(text), c.whole);
        EXPECT_EQ(numbers::parseDigits(text), c.digits);
        EXPECT_EQ(numbers::parseLeadingNumber(text), c.leading);
    }
}
