#include "bells/Ensemble.h"

QString bellCaption(int bell) {
    return QStringLiteral("Колокол ") + QString::number(kBellCount - bell);
}

void Ensemble::setSelected(int bell, bool selected) {
    if (valid(bell)) {
        m_selected[bell] = selected;
    }
}

void Ensemble::setGroup(int bell, int groupCode) {
    if (valid(bell)) {
        m_group[bell] = (groupCode >= kNoGroup && groupCode <= kBigGroup) ? groupCode : kNoGroup;
    }
}

void Ensemble::clear() {
    m_selected.fill(false);
    m_group.fill(kNoGroup);
}

int Ensemble::selectedCount() const {
    int n = 0;
    for (bool s : m_selected) {
        n += s ? 1 : 0;
    }
    return n;
}

int Ensemble::groupCount(int groupCode) const {
    int n = 0;
    for (int i = 0; i < kBellCount; ++i) {
        n += (m_selected[i] && m_group[i] == groupCode) ? 1 : 0;
    }
    return n;
}

QString Ensemble::groupCountsText() const {
    return QString::number(groupCount(kSmallGroup)) + QString::number(groupCount(kMiddleGroup)) +
           QString::number(groupCount(kBigGroup));
}

QString Ensemble::bellsText() const {
    QString text;
    for (int i = 0; i < kBellCount; ++i) {
        text += m_selected[i] ? u'1' : u'0';
    }
    return text;
}

QString Ensemble::typesText() const {
    QString text;
    for (int i = 0; i < kBellCount; ++i) {
        text += m_selected[i] ? letterForGroup(m_group[i]) : QChar(u'n');
    }
    return text;
}

void Ensemble::applyText(const QString& bells, const QString& types) {
    for (int i = 0; i < kBellCount && i < bells.size(); ++i) {
        if (bells.at(i) != u'1') {
            continue;
        }
        m_selected[i] = true;
        m_group[i] = i < types.size() ? groupForLetter(types.at(i)) : kNoGroup;
    }
}

int Ensemble::groupForLetter(QChar letter) {
    switch (letter.unicode()) {
    case u's':
        return kSmallGroup;
    case u'm':
        return kMiddleGroup;
    case u'b':
        return kBigGroup;
    default:
        return kNoGroup;
    }
}

QChar Ensemble::letterForGroup(int groupCode) {
    switch (groupCode) {
    case kSmallGroup:
        return u's';
    case kMiddleGroup:
        return u'm';
    case kBigGroup:
        return u'b';
    default:
        return u'n';
    }
}
