#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One ringing as written in the library's readable source form (see
// data/ringings/README.md): a few "key = value" lines, named patterns of
// strike rows and "play" lines that string the patterns together.
struct RingingSource {
    QString origin; // where it came from, for messages
    QString name;
    QString form;
    QString require;
    QString marks;
    QString types;
    QString description;
    int interval = 0;
    bool encoded = false;
    // The strike tokens of each column, small before middle before big and
    // by position within a group.
    QList<QStringList> columns;

    // The body as stored: the header line, then one line per column.
    QStringList bodyLines() const;
};

struct SourceParse {
    std::optional<RingingSource> ringing;
    QStringList errors; // "origin:line: message"
};

SourceParse parseRingingSource(const QString& text, const QString& origin);
