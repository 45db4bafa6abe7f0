#pragma once

#include <QString>
#include <QStringList>

// Replaces every occurrence of search in text. After each replacement the
// search starts again from the beginning of the text, so a replacement that
// completes a new occurrence is replaced too ("aab" with "ab" -> "b" gives
// "b"). An empty search text changes nothing.
//
// Restarting must always end and the text must never grow without bound:
// - a replacement that holds the search text itself would be found again at
//   once, so it is made in one left-to-right pass over the text;
// - any other replacement that keeps completing new occurrences (the text
//   growing or churning on) is given a budget of twice the text's length in
//   replacements; a chain that has not ended by then falls back to the same
//   one left-to-right pass over the original text.
// Replacements that cannot complete a new occurrence at all (the search text
// is one character the replacement lacks, or the two share no character) take
// the one pass directly, which then gives exactly the restarting result in
// linear time.
QString ReplaceAll(const QString& text, const QString& search, const QString& replacement);

// Splits text at separator into list (which is cleared first). Two adjacent
// separators give an empty piece; a separator at the very end gives no empty
// last piece; an empty text gives an empty list.
void SplitList(const QString& text, const QString& separator, QStringList& list);
QStringList SplitList(const QString& text, const QString& separator);
