#pragma once

#include <QString>
#include <QStringList>

// The loading progress of a lesson page as the lesson window's status bar
// shows it: the page itself and each picture it references count one step.

// "45% Выполнено" for progress 45 of 100: the percentage rounded to the
// nearest whole number, halves to the even neighbour. Empty for a maximum of
// 0 or less, which the status bar ignores.
QString progressText(long long progress, long long maximum);

// The distinct picture addresses an HTML page references (<img src=...>), in
// the order of their first appearance. A picture used twice loads once.
QStringList referencedPictures(const QString& html);

// Counts the steps of one page load: start() with the page's pictures, then
// one step() per resource loaded (the page first).
class PageLoadCounter {
public:
    void start(int pictures);
    // Records one loaded resource and returns the progress text; a step past
    // the end (a resource the page did not announce) keeps 100%.
    QString step();
    int done() const { return m_done; }
    int total() const { return m_total; }

private:
    int m_done = 0;
    int m_total = 0;
};
