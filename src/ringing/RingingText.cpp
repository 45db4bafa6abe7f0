#include "ringing/RingingText.h"

#include "base/TextCodec.h"
#include "base/TextLists.h"

#include <algorithm>
#include <chrono>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct DecodeStep {
    QString search;
    QString replacement;
    bool lineBreak;
};

// The read-side table, in its order.
const std::array<DecodeStep, 13>& decodeSteps() {
    static const std::array<DecodeStep, 13> steps = {{
        {QStringLiteral("_"), kCrLf, true},
        {QStringLiteral("&"), kCrLf, true},
        {QStringLiteral("@"), kCrLf, true},
        {QStringLiteral("$"), kCrLf, true},
        {QStringLiteral("^%"), QStringLiteral(","), false},
        {QStringLiteral("~"), QStringLiteral(","), false},
        {QStringLiteral("*]"), QStringLiteral(","), false},
        {QStringLiteral(")"), QStringLiteral(","), false},
        {QStringLiteral("{"), QStringLiteral("s"), false},
        {QStringLiteral("[}"), QStringLiteral("m"), false},
        {QStringLiteral("!"), QStringLiteral("b"), false},
        {QStringLiteral("<"), QString(), false},
        {QStringLiteral(">"), QString(), false},
    }};
    return steps;
}

const QString kEncodingSymbols = QStringLiteral("_&@$^%~*]){[}!<>\r\n");

} // namespace

void DecodeRingingText(QStringList& lines) {
    for (const DecodeStep& step : decodeSteps()) {
        // A step whose symbol is in no line changes nothing (no symbol spans
        // a line end): joining and splitting a long body for it again would
        // only cost time.
        const bool found = std::any_of(lines.cbegin(), lines.cend(),
                                       [&step](const QString& line) { return line.contains(step.search); });
        if (!found) {
            continue;
        }
        QString text;
        qsizetype size = 0;
        for (const QString& line : lines) {
            size += line.size() + 2;
        }
        text.reserve(size);
        for (const QString& line : lines) {
            // A line-break symbol closing a line is that line's end; the CR LF
            // that follows every line stands for it.
            if (step.lineBreak && line.endsWith(step.search)) {
                text += QStringView(line).chopped(step.search.size());
            } else {
                text += line;
            }
            text += kCrLf;
        }
        lines = splitTextLines(ReplaceAll(text, step.search, step.replacement));
    }
}

QString EncodeRingingText(const QString& body, int lineBreakChoice, int commaChoice) {
    const QString& lineBreak = kLineBreakSymbols.at(static_cast<size_t>(lineBreakChoice));
    const QString& comma = kCommaSymbols.at(static_cast<size_t>(commaChoice));
    QString text = ReplaceAll(body, kCrLf, lineBreak);
    text = ReplaceAll(text, QStringLiteral("\r"), lineBreak);
    text = ReplaceAll(text, QStringLiteral("\n"), lineBreak);
    text = ReplaceAll(text, QStringLiteral(","), comma);
    text = ReplaceAll(text, QStringLiteral("s"), QStringLiteral("{"));
    text = ReplaceAll(text, QStringLiteral("m"), QStringLiteral("[}"));
    text = ReplaceAll(text, QStringLiteral("b"), QStringLiteral("!"));
    return text;
}

SymbolChoice SymbolChoice::draw(std::mt19937& rng) {
    std::uniform_int_distribution<int> uniform(0, 3);
    SymbolChoice choice;
    choice.lineBreak = uniform(rng);
    choice.comma = uniform(rng);
    return choice;
}

SymbolChoice SymbolChoice::drawFromClock() {
    std::mt19937 rng(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    return draw(rng);
}

QString EncodeRingingText(const QString& body, std::mt19937& rng) {
    const SymbolChoice symbols = SymbolChoice::draw(rng);
    return EncodeRingingText(body, symbols.lineBreak, symbols.comma);
}

QString EncodeRingingText(const QString& body) {
    const SymbolChoice symbols = SymbolChoice::drawFromClock();
    return EncodeRingingText(body, symbols.lineBreak, symbols.comma);
}

QString encodeRingingLines(const QStringList& lines, SymbolChoice symbols) {
    return EncodeRingingText(joinCrLf(lines), symbols.lineBreak, symbols.comma);
}

bool isCarriedByEncoding(const QStringList& lines) {
    for (const QString& line : lines) {
        for (QChar c : line) {
            if (kEncodingSymbols.contains(c)) {
                return false;
            }
        }
    }
    return true;
}
