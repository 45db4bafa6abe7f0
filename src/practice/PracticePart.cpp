#include "practice/PracticePart.h"

QList<int> PracticePart::bells(const Ensemble& ensemble) const {
    QList<int> result;
    if (isSingleBell()) {
        if (ensemble.isSelected(bell)) {
            result << bell;
        }
        return result;
    }
    for (int b = 0; b < kBellCount; ++b) {
        if (ensemble.isSelected(b) && ensemble.group(b) == group) {
            result << b;
        }
    }
    return result;
}

QString PracticePart::code() const {
    if (isSingleBell()) {
        return QStringLiteral("k") + QString::number(kBellCount - bell);
    }
    return QString(Ensemble::letterForGroup(group));
}

QString PracticePart::caption() const {
    if (isSingleBell()) {
        return QStringLiteral("Колокол ") + QString::number(kBellCount - bell);
    }
    switch (group) {
    case kSmallGroup:
        return QStringLiteral("Малые колокола");
    case kMiddleGroup:
        return QStringLiteral("Средние колокола");
    case kBigGroup:
        return QStringLiteral("Большие колокола");
    default:
        return QString();
    }
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
    }
    return false;
}
