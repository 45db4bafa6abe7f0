#include "base/TextLists.h"

#include <algorithm>

namespace {

// True when replacing one occurrence can never complete a new one from the
// replacement and the text around it. A new occurrence would have to share a
// character with the replacement (or, for an empty replacement, bridge the
// gap it leaves), so a one-character search the replacement lacks, or a
// non-empty replacement sharing no character with the search, is safe.
bool cannotCompleteNewOccurrence(const QString& search, const QString& replacement) {
    if (search.size() == 1) {
        return !replacement.contains(search.front());
    }
    if (replacement.isEmpty()) {
        return false;
    }
    return std::none_of(search.cbegin(), search.cend(), [&](QChar c) { return replacement.contains(c); });
}

QString replaceInOnePass(const QString& text, const QString& search, const QString& replacement) {
    QString once = text;
    return once.replace(search, replacement);
}

} // namespace

QString ReplaceAll(const QString& text, const QString& search, const QString& replacement) {
    if (search.isEmpty()) {
        return text;
    }
    if (replacement.contains(search) || cannotCompleteNewOccurrence(search, replacement)) {
        return replaceInOnePass(text, search, replacement);
    }
    // Restarting from the beginning after each replacement can only find a new
    // occurrence that ends in or after the replaced part; resuming from
    // (position - search length + 1) finds exactly the same occurrences
    // without rescanning the text in front.
    const qsizetype budget = 2 * text.size() + 64;
    QString result = text;
    qsizetype from = 0;
    for (qsizetype done = 0;; ++done) {
        const qsizetype at = result.indexOf(search, from);
        if (at < 0) {
            return result;
        }
        if (done >= budget) {
            return replaceInOnePass(text, search, replacement);
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
    if (separator.isEmpty()) {
        list.append(text);
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
