#include "bells/TBellData.h"

#include "base/Numbers.h"
#include "base/TextCodec.h"
#include "base/TextLists.h"

TBellData::TBellData(const QString& path, RequiredFileCheck& check) {
    if (!check.check(path)) {
        return;
    }
    const std::optional<QStringList> lines = readTextLines(path);
    if (!lines) {
        check.report(path);
        return;
    }
    m_lines = *lines;
    QStringList fields;
    for (int i = 0; i < kBellLines; ++i) {
        if (i >= m_lines.size()) {
            check.report(path);
            for (QStringList& column : m_columns) {
                column.append(QString());
            }
            continue;
        }
        SplitList(m_lines.at(i), QStringLiteral(";"), fields);
        for (int k = 0; k < kFields; ++k) {
            if (k < fields.size()) {
                m_columns[k].append(fields.at(k));
            } else {
                check.report(path);
                m_columns[k].append(QString());
            }
        }
    }
}

QString TBellData::Column(int field, int bell) const {
    if (field < 1 || field > kFields) {
        return {};
    }
    const QStringList& column = m_columns[field - 1];
    return (bell >= 0 && bell < column.size()) ? column.at(bell) : QString();
}

int TBellData::FindByName(const QString& name) const {
    const QStringList& names = m_columns[0];
    for (int i = 0; i < names.size(); ++i) {
        if (QString::compare(names.at(i), name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

std::optional<int> TBellData::keyCode(int bell) const {
    return numbers::parseWholeNumber(Column(7, bell));
}
