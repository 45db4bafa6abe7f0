#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <random>

// The text form of a ringing body as stored in files. Bodies are kept plain
// (strike tokens, digits, ";" and "-") or encoded: the writer turns every line
// break into one symbol and every comma into one symbol, both drawn at random
// once per file, and replaces the group letters, so that an encoded body is
// one line. Reading accepts both forms; decoding a plain body changes nothing.
//
// Line ends inside an encoded body: the writer follows every body line, the
// last included, by the line-break symbol, just as every line of a text file
// is followed by CR LF. The reader therefore takes a line-break symbol at the
// very end of a line as that line's own end, not as the start of one more
// (empty) column. Writing then reading returns the same lines exactly, empty
// trailing columns included, and an encoded body that does not end in the
// symbol reads just as well.

// The line-break symbols and comma symbols of the writer, in draw order.
inline const std::array<QString, 4> kLineBreakSymbols = {QStringLiteral("_"), QStringLiteral("&"),
                                                         QStringLiteral("@"), QStringLiteral("$")};
inline const std::array<QString, 4> kCommaSymbols = {QStringLiteral("^%"), QStringLiteral("~"),
                                                     QStringLiteral("*]"), QStringLiteral(")")};

// The two symbols of one file: indexes 0..3 into the tables above.
struct SymbolChoice {
    int lineBreak = 0;
    int comma = 0;
    // Draws both, line break first, each uniformly among the four.
    static SymbolChoice draw(std::mt19937& rng);
    // Draws from a generator seeded from the clock, as every save does.
    static SymbolChoice drawFromClock();
};

// Applies the read-side substitution to lines, in place: thirteen
// replacements, each over the whole text, the lines being refilled after each
// one so that the line breaks it produced split lines for the next.
void DecodeRingingText(QStringList& lines);

// Applies the write-side substitution to a body text (lines joined by CR LF,
// with or without a final line break) using the given symbol choices (0..3).
// Any line break (CR LF, lone CR, lone LF) becomes the line-break symbol, so
// the result is always one line.
QString EncodeRingingText(const QString& body, int lineBreakChoice, int commaChoice);
// The same with both symbols drawn from rng (line break first, then comma).
QString EncodeRingingText(const QString& body, std::mt19937& rng);
// The same with a generator seeded from the clock.
QString EncodeRingingText(const QString& body);

// Encodes body lines as the writer stores them: every line followed by a line
// break, then the substitution.
QString encodeRingingLines(const QStringList& lines, SymbolChoice symbols);

// Whether the substitution carries these body lines through a write and a
// read unchanged: no line may hold a symbol of the encoding ("_", "&", "@",
// "$", "^", "%", "~", "*", "]", ")", "{", "[", "}", "!", "<", ">") nor a line
// break. Strike tokens, digits, ";", "-", "#" and letters are carried.
bool isCarriedByEncoding(const QStringList& lines);
