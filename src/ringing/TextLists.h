#pragma once

#include <QString>
#include <QStringList>

// Replaces every occurrence of search in text. After each replacement the
// search starts again from the beginning of the text, so a replacement that
// completes a new occurrence is replaced too ("aab" with "ab" -> "b" gives
// "b"). When the replacement itself contains the search text that rule would
// never end; such a replacement is made in one left-to-right pass instead.
// An empty search text changes nothing.
QString ReplaceAll(const QString& text, const QString& search, const QString& replacement);

// Splits text at separator into list (which is cleared first). Two adjacent
// separators give an empty piece; a separator at the very end gives no empty
// last piece; an empty text gives an empty list.
void SplitList(const QString& text, const QString& separator, QStringList& list);
QStringList SplitList(const QString& text, const QString& separator);
