#pragma once

#include "LibraryRules.h"
#include "RingingSource.h"

#include <QList>
#include <QString>
#include <QStringList>

struct LibraryEntry {
    RingingList list;
    QString stem; // source file name without ".zvon"
    RingingSource ringing;
};

// The whole library read from its source folder: one subfolder per list,
// each with index.txt naming its ringings in the order they are offered.
class Library {
public:
    // Reads and checks every ringing; the errors of all of them, or nothing.
    QStringList read(const QString& sourceDir);
    // Writes Campanel/ and Custom/ below installDir; errors, or nothing.
    QStringList write(const QString& installDir) const;

    const QList<LibraryEntry>& entries() const { return m_entries; }

    // "<stem>.kol" in Campanel/ for library ringings, "<name>.kol" in Custom/
    // for list ringings.
    static QString bodyFileName(const LibraryEntry& entry);
    // The lines of the catalogue list of one library list.
    QStringList catalogueLines(RingingList list) const;
    // A list ringing's file: Bells, Types, name, description, then the body.
    static QStringList listRingingLines(const RingingSource& ringing);

    // One line per ringing: list, file, name, form, requirement, columns and
    // seconds at the header interval.
    QStringList summaryLines() const;

private:
    QList<LibraryEntry> m_entries;
};
