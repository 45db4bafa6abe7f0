#include "ringing/TextLists.h"

QString ReplaceAll(const QString& text, const QString& search, const QString& replacement) {
    if (search.isEmpty()) {
        return text;
    }
    if (replacement.contains(search)) {
        QString once = text;
        return once.replace(search, replacement);
    }
    // Restarting from the beginning after each replacement can only find a new
    // occurrence that ends in or after the replaced part; resuming from
    // (position - search length + 1) finds exactly the same occurrences
    // without rescanning the text in front.
    QString result = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = result.indexOf(search, from);
        if (at < 0) {
            return result;
        }
        result.replace(at, search.size(), replacement);
        from = std::max<qsizetype>(0, at - search.size() + 1);
    }
}

void SplitList(const QString& text, const QString& separator, QStringList& list) {
    list.clear();
    if (text.isEmpty()) {
        return;
    }
    list = text.split(separator, Qt::KeepEmptyParts);
    if (!list.isEmpty() && text.endsWith(separator)) {
        list.removeLast();
    }
}

QStringList SplitList(const QString& text, const QString& separator) {
    QStringList list;
    SplitList(text, separator, list);
    return list;
}
