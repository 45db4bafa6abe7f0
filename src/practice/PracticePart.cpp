#include "practice/PracticePart.h"

#include <QStringList>

namespace {

constexpr int kGroupCodes[] = {kSmallGroup, kMiddleGroup, kBigGroup};
constexpr int kAllGroupBits = PracticePart::bitOf(kSmallGroup) | PracticePart::bitOf(kMiddleGroup) |
                              PracticePart::bitOf(kBigGroup);

QString groupWord(int groupCode) {
    switch (groupCode) {
    case kSmallGroup:
        return QStringLiteral("малые");
    case kMiddleGroup:
        return QStringLiteral("средние");
    case kBigGroup:
        return QStringLiteral("большие");
    default:
        return QString();
    }
}

} // namespace

PracticePart PracticePart::ofGroups(int groupBits) {
    const int bits = groupBits & kAllGroupBits;
    int count = 0;
    int last = kNoGroup;
    for (int code : kGroupCodes) {
        if (bits & bitOf(code)) {
            ++count;
            last = code;
        }
    }
    if (count == 1) {
        return ofGroup(last);
    }
    return count == 0 ? PracticePart{} : PracticePart{kNoGroup, -1, bits};
}

QList<int> PracticePart::bells(const Ensemble& ensemble) const {
    QList<int> result;
    if (isSingleBell()) {
        if (ensemble.isSelected(bell)) {
            result << bell;
        }
        return result;
    }
    for (int b = 0; b < kBellCount; ++b) {
        const int code = ensemble.group(b);
        const bool inPart = isSeveralGroups() ? code != kNoGroup && (groups & bitOf(code)) : code == group;
        if (ensemble.isSelected(b) && inPart) {
            result << b;
        }
    }
    return result;
}

QString PracticePart::code() const {
    if (isSingleBell()) {
        return QStringLiteral("k") + QString::number(kBellCount - bell);
    }
    if (isSeveralGroups()) {
        QString letters;
        for (int code : kGroupCodes) {
            if (groups & bitOf(code)) {
                letters += Ensemble::letterForGroup(code);
            }
        }
        return letters;
    }
    return QString(Ensemble::letterForGroup(group));
}

QString PracticePart::caption() const {
    if (isSingleBell()) {
        return QStringLiteral("Колокол ") + QString::number(kBellCount - bell);
    }
    if (isSeveralGroups()) {
        QStringList words;
        for (int code : kGroupCodes) {
            if (groups & bitOf(code)) {
                words << groupWord(code);
            }
        }
        const QString last = words.takeLast();
        QString text = words.join(QStringLiteral(", ")) + QStringLiteral(" и ") + last +
                       QStringLiteral(" колокола");
        text[0] = text[0].toUpper();
        return text;
    }
    const QString word = groupWord(group);
    return word.isEmpty() ? QString() : word.at(0).toUpper() + word.mid(1) + QStringLiteral(" колокола");
}

bool PracticePart::fromCode(const QString& code, PracticePart& part) {
    if (code.size() == 1) {
        const int group = Ensemble::groupForLetter(code.at(0));
        if (group == kNoGroup) {
            return false;
        }
        part = ofGroup(group);
        return true;
    }
    if (code.startsWith(QLatin1Char('k'))) {
        bool ok = false;
        const int number = code.mid(1).toInt(&ok);
        if (ok && number >= 1 && number <= kBellCount) {
            part = ofBell(kBellCount - number);
            return true;
        }
        return false;
    }
    // Several groups: two or three distinct letters, in the order code() writes.
    if (code.size() > 3) {
        return false;
    }
    int bits = 0;
    for (QChar letter : code) {
        const int group = Ensemble::groupForLetter(letter);
        if (group == kNoGroup || (bits & bitOf(group))) {
            return false;
        }
        bits |= bitOf(group);
    }
    const PracticePart read = ofGroups(bits);
    if (read.code() != code) {
        return false;
    }
    part = read;
    return true;
}
