#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

// What the score benches share: a dense trezvon to draw, and the wait for
// the window's start-up work (the samples decode in the background).

// `columns` columns at 50 ms, two small bells in every column and the
// middle and big bells on their own beats, so every page is full.
inline QStringList denseTrezvon(int columns) {
    QStringList body{QStringLiteral("50")};
    for (int c = 0; c < columns; ++c) {
        QStringList tokens{QStringLiteral("s%1").arg(c % 5 + 1), QStringLiteral("s%1").arg((c + 2) % 5 + 1)};
        if (c % 2 == 0) {
            tokens << QStringLiteral("m%1").arg(c / 2 % 5 + 1);
        }
        if (c % 3 == 1) {
            tokens << QStringLiteral("m%1").arg((c + 3) % 5 + 1);
        }
        if (c % 4 == 0) {
            tokens << QStringLiteral("b%1").arg(c / 4 % 5 + 1);
        }
        if (c % 8 == 2) {
            tokens << QStringLiteral("b%1").arg(c / 8 % 5 + 1);
        }
        body << tokens.join(QLatin1Char(','));
    }
    return body;
}

inline void settleWindow(int milliseconds = 1500) {
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}
