#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The command line of the belfry tool:
//   campanix-belfry import [--replace] NAME FILE...
//   campanix-belfry list
//   campanix-belfry remove NAME
//   [--data-dir <folder>] before the command: the belfries of that data
//   folder instead of the user's.
// `belfriesDir` is the folder of the user's belfries, used without --data-dir.

inline constexpr int kBelfryOk = 0;
inline constexpr int kBelfryFailed = 1;
inline constexpr int kBelfryBadArguments = 2;

QString belfryUsage();
int runBelfryCommand(const QStringList& arguments, const QString& belfriesDir, QTextStream& out,
                     QTextStream& err);
