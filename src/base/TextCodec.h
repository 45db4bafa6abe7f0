#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Every data file of the program is 8-bit text in the Windows-1251 code page.
// Lines end at CR LF, a lone CR or a lone LF on reading; on writing every
// line, the last included, is followed by CR LF.

QString decode1251(const QByteArray& bytes);
QByteArray encode1251(const QString& text);

// Splits text into lines at CR LF, lone CR or lone LF. A terminator at the
// very end gives no empty last line; an empty text gives no lines.
QStringList splitTextLines(const QString& text);

// Joins lines, each followed by CR LF.
QString joinCrLf(const QStringList& lines);

// The bytes without a leading UTF-8 byte-order mark.
QByteArray withoutByteOrderMark(const QByteArray& bytes);

// Reads a Windows-1251 text file into lines; nothing when it cannot be read.
// A UTF-8 byte-order mark at the very start is dropped.
std::optional<QStringList> readTextLines(const QString& path);

// Writes lines as Windows-1251 with CR LF, atomically (see AtomicFile.h).
bool writeTextLines(const QString& path, const QStringList& lines);
