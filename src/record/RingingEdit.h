#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class TChannels;

// One change to the columns of a ringing: the columns from `at` that were
// there (`removed`) give way to `inserted`. Every edit of the columns is one
// splice, and its inverse puts the text back exactly.
struct ColumnSplice {
    int at = 0;
    QStringList removed;
    QStringList inserted;

    ColumnSplice inverse() const { return {at, inserted, removed}; }
    int growth() const { return int(inserted.size() - removed.size()); }
};

// A ringing being written: its header line and its columns as the file
// stores them (strike tokens separated by ","). Plain data and the rules of
// an edit; the undo commands and the window live elsewhere.
//
// Limits. A ringing must stay readable by the program's own reader: no more
// columns and no larger file than it takes. An edit that would pass them is
// refused with the reason, and nothing changes.
class RingingEdit {
public:
    // The interval of a header that names none.
    static constexpr int kDefaultInterval = 144;
    // A new ringing is one page of empty columns, so every column of the
    // first page can be clicked.
    static constexpr int kNewRingingColumns = 64;

    RingingEdit() : RingingEdit(QString::number(kDefaultInterval), {}) {}
    RingingEdit(const QString& header, const QStringList& columns);
    // From a body as the files hold it: the header, then the columns.
    static RingingEdit fromBody(const QStringList& body);
    // The empty ringing a teacher starts from.
    static RingingEdit blank();

    const QString& header() const { return m_header; }
    const QStringList& columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    QString column(int index) const { return m_columns.value(index); }
    // Header first: what a save writes and a load reads.
    QStringList body() const;
    // The body as one text, lines ended by CR LF.
    QString text() const;

    // Milliseconds per column: the header's first field, or the default.
    int interval() const;
    // The header with its interval replaced, its group marks kept.
    QString headerWithInterval(int milliseconds) const;
    void setHeader(const QString& header) { m_header = header; }

    // The splices of the edits. An edit past the last column first fills the
    // gap with empty columns.
    ColumnSplice toggleSplice(int column, const QString& token) const;
    ColumnSplice insertSplice(int at, const QStringList& lines) const;
    ColumnSplice removeSplice(int first, int count) const;
    ColumnSplice replaceSplice(int first, int count, const QStringList& lines) const;

    // Why the splice may not be made (a Russian message), or nothing.
    std::optional<QString> refusal(const ColumnSplice& splice) const;
    // Applies a splice made by the functions above (or its inverse).
    void apply(const ColumnSplice& splice);

    // The bytes a user ringing file of this ringing can take at most.
    qint64 fileBytesBound() const { return m_bytes; }

private:
    QString m_header;
    QStringList m_columns;
    // The upper bound of fileBytesBound(), kept as the columns change.
    qint64 m_bytes = 0;
};

// The token of the bell at 1-based `position` in score group 0 small,
// 1 middle, 2 big ("s1", "m3", "b2").
QString strikeTokenOf(int group, int position);
// The column with `token` taken out when it holds it, added at the end when
// it does not; its other tokens keep their order.
QString toggledColumn(const QString& column, const QString& token);
// The column's tokens of each group, as the common score is split into the
// three group scores.
std::array<QString, 3> splitColumnByGroup(const QString& column);

// Makes the same splice in the playback working set: the common score and,
// line by line, the three group scores that mirror it.
void applySpliceToChannels(TChannels& channels, const ColumnSplice& splice);

// Columns on the clipboard: one column a line. Plain text from elsewhere is
// taken when every line is empty or strike tokens; nothing otherwise.
QString columnsToClipboardText(const QStringList& columns);
std::optional<QStringList> columnsFromClipboardText(const QString& text);
