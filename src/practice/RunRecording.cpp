#include "practice/RunRecording.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A damaged line must not make the program allocate without end.
constexpr int kMostColumns = 200000;
constexpr int kMostStrikes = 200000;
constexpr int kBase = 36;

QString number(qint64 value) {
    return QString::number(value, kBase);
}

bool readNumber(const QString& text, qint64& value) {
    bool ok = false;
    value = text.toLongLong(&ok, kBase);
    return ok;
}

qint64 toMs(std::int64_t frames, int rate) {
    return static_cast<qint64>(std::llround(static_cast<double>(frames) * 1000.0 / rate));
}

std::int64_t toFrames(qint64 ms, int rate) {
    return static_cast<std::int64_t>(std::llround(static_cast<double>(ms) * rate / 1000.0));
}

} // namespace

void RunRecording::takeStrikes(const QList<StrikeOutcome>& outcomes) {
    for (const StrikeOutcome& o : outcomes) {
        if (o.kind != StrikeOutcome::Kind::Missed) {
            strikes << Strike{o.bell, o.keyFrame};
        }
    }
    std::stable_sort(strikes.begin(), strikes.end(),
                     [](const Strike& a, const Strike& b) { return a.frame < b.frame; });
}

// bells|segments|strikes. A segment is a run of consecutive columns an even
// step apart: first column.count.start ms.step ms; a strike is its bell
// (one base-36 digit) and its signed ms after the strike before it.
QString RunRecording::encode() const {
    if (isEmpty() || sampleRate <= 0) {
        return QString();
    }
    const std::int64_t origin = columns.isEmpty() ? strikes.first().frame : columns.first().frame;
    QString bellText;
    for (int bell : bells) {
        bellText += number(bell);
    }
    QStringList segments;
    for (qsizetype i = 0; i < columns.size();) {
        qsizetype end = i + 1;
        const std::int64_t step = end < columns.size() ? columns[end].frame - columns[i].frame : 0;
        while (end < columns.size() && columns[end].column == columns[end - 1].column + 1 &&
               std::abs(columns[end].frame - columns[end - 1].frame - step) <= 1) {
            ++end;
        }
        segments << QStringLiteral("%1.%2.%3.%4")
                        .arg(number(columns[i].column), number(end - i),
                             number(toMs(columns[i].frame - origin, sampleRate)),
                             number(end - i > 1 ? toMs(step, sampleRate) : 0));
        i = end;
    }
    // Each strike's time from the one before (the first's from the first
    // column), rounded on the run's own clock so that errors do not add up.
    QStringList strikeTexts;
    qint64 previous = 0;
    for (const Strike& strike : strikes) {
        const qint64 at = toMs(strike.frame - origin, sampleRate);
        strikeTexts << number(strike.bell) + number(at - previous);
        previous = at;
    }
    return bellText + QLatin1Char('|') + segments.join(QLatin1Char(',')) + QLatin1Char('|') +
           strikeTexts.join(QLatin1Char(','));
}

bool RunRecording::decode(const QString& text, int sampleRate, RunRecording& recording) {
    const QStringList parts = text.split(QLatin1Char('|'));
    if (parts.size() != 3 || sampleRate <= 0) {
        return false;
    }
    RunRecording read;
    read.sampleRate = sampleRate;
    for (QChar digit : parts[0]) {
        qint64 bell = 0;
        if (!readNumber(QString(digit), bell) || bell >= 15) {
            return false;
        }
        read.bells << static_cast<int>(bell);
    }
    for (const QString& segment : parts[1].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList fields = segment.split(QLatin1Char('.'));
        qint64 column = 0, count = 0, start = 0, step = 0;
        if (fields.size() != 4 || !readNumber(fields[0], column) || !readNumber(fields[1], count) ||
            !readNumber(fields[2], start) || !readNumber(fields[3], step) || column < 0 ||
            column > std::numeric_limits<int>::max() - kMostColumns || count < 1 ||
            read.columns.size() + count > kMostColumns || std::abs(start) > (qint64(1) << 40) || step < 0 ||
            step > 60000) {
            return false;
        }
        for (qint64 k = 0; k < count; ++k) {
            read.columns << Column{static_cast<int>(column + k), toFrames(start + k * step, sampleRate)};
        }
    }
    qint64 at = 0;
    for (const QString& strike : parts[2].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        qint64 bell = 0, ms = 0;
        if (strike.size() < 2 || read.strikes.size() >= kMostStrikes || !readNumber(strike.left(1), bell) ||
            bell >= 15 || !readNumber(strike.mid(1), ms) || std::abs(ms) > (qint64(1) << 40)) {
            return false;
        }
        at += ms;
        read.strikes << Strike{static_cast<int>(bell), toFrames(at, sampleRate)};
    }
    recording = read;
    return true;
}

namespace {

bool isDigitOf(QChar c, int below) {
    const int value = c.isDigit() ? c.digitValue() : (c >= u'a' && c <= u'z') ? c.unicode() - u'a' + 10 : -1;
    return value >= 0 && value < below;
}

// A base-36 number, signed where `sign` allows it.
bool isNumber(QStringView text, bool sign) {
    if (sign && text.startsWith(u'-')) {
        text = text.sliced(1);
    }
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return isDigitOf(c, kBase); });
}

} // namespace

qsizetype RunRecording::strikeCount(QStringView text) {
    const qsizetype first = text.indexOf(u'|');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u'|', first + 1);
    if (second < 0 || text.indexOf(u'|', second + 1) >= 0) {
        return -1;
    }
    const QStringView bells = text.first(first);
    if (!std::all_of(bells.begin(), bells.end(), [](QChar c) { return isDigitOf(c, 15); })) {
        return -1;
    }
    const QStringView segments = text.sliced(first + 1, second - first - 1);
    for (QStringView segment : segments.tokenize(u',')) {
        if (segments.isEmpty()) {
            break;
        }
        qsizetype fields = 0;
        for (QStringView field : segment.tokenize(u'.')) {
            if (!isNumber(field, true)) {
                return -1;
            }
            ++fields;
        }
        if (fields != 4) {
            return -1;
        }
    }
    const QStringView strikes = text.sliced(second + 1);
    if (strikes.isEmpty()) {
        return 0;
    }
    qsizetype count = 0;
    for (QStringView strike : strikes.tokenize(u',')) {
        if (strike.size() < 2 || !isDigitOf(strike.front(), 15) || !isNumber(strike.sliced(1), true)) {
            return -1;
        }
        ++count;
    }
    return count;
}

QList<StrikePlayer::Strike> replayStrikes(const RunRecording& recording, ReplayMode mode,
                                          const std::function<QList<int>(int column)>& bellsOf,
                                          std::int64_t* origin) {
    QList<StrikePlayer::Strike> strikes;
    for (const RunRecording::Column& column : recording.columns) {
        for (int bell : bellsOf(column.column)) {
            if (mode == ReplayMode::AsWritten || !recording.bells.contains(bell)) {
                strikes << StrikePlayer::Strike{bell, column.frame};
            }
        }
    }
    if (mode == ReplayMode::AsRung) {
        for (const RunRecording::Strike& strike : recording.strikes) {
            strikes << StrikePlayer::Strike{strike.bell, strike.frame};
        }
    }
    if (strikes.isEmpty()) {
        return strikes;
    }
    const auto earliest = std::min_element(
        strikes.begin(), strikes.end(),
        [](const StrikePlayer::Strike& a, const StrikePlayer::Strike& b) { return a.offset < b.offset; });
    const std::int64_t first = earliest->offset;
    for (StrikePlayer::Strike& strike : strikes) {
        strike.offset -= first;
    }
    if (origin) {
        *origin = first;
    }
    std::stable_sort(
        strikes.begin(), strikes.end(),
        [](const StrikePlayer::Strike& a, const StrikePlayer::Strike& b) { return a.offset < b.offset; });
    return strikes;
}
