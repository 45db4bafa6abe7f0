#pragma once

#include "lessons/PageProgress.h"

#include <QSet>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;
class QStatusBar;

// The browser of the lesson window: local pages in the code page they
// declare, pictures beside them, and the loading progress of the page and
// its pictures. Links to other local pages open here; internet and mail
// addresses go to the opener (the user's browser or mail program).
class LessonBrowser : public QTextBrowser {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl&)>;

    explicit LessonBrowser(QWidget* parent = nullptr);

    void setUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }
    // Shows a local page; false when it cannot be read (the browser then
    // shows a short notice naming the page instead of an empty page).
    bool navigate(const QString& path);
    // Whether the page last asked for could not be read.
    bool pageMissing() const { return m_pageMissing; }

    QVariant loadResource(int type, const QUrl& name) override;

signals:
    // One resource of the page has loaded: `progress` of `maximum`.
    void progressReported(long long progress, long long maximum);
    // A page load begins; `found` is false when the page could not be read
    // and the notice stands in its place.
    void pageOpened(bool found);
    // A link took the browser to another local page (shown: it could be read).
    void localLinkFollowed(const QUrl& page, bool shown);

private:
    void followLink(const QUrl& url);

    PageLoadCounter m_counter;
    // Pictures of the current page already counted: a picture that failed to
    // load is asked for again at every layout, but counts once.
    QSet<QUrl> m_counted;
    UrlOpener m_opener;
    bool m_pageMissing = false;
};

// The lesson window: the lesson, help and publisher pages in the browser `IE`
// with the status bar `Status` below it, which shows the loading progress
// and the address of the link under the mouse. Created once and reused;
// closing it only hides it.
class TfrmLesson : public QWidget {
    Q_OBJECT
public:
    explicit TfrmLesson(QWidget* parent = nullptr);

    // Shows the window maximized the first time, brings it up afterwards.
    void showAndRaise();
    // Sets the status bar from one progress report; a maximum of 0 or less
    // changes nothing.
    void IEProgressChange(long long progress, long long maximum);
    QString statusText() const;

    LessonBrowser* IE = nullptr;
    QStatusBar* Status = nullptr;

signals:
    void closed();
    // F1 was pressed in the window: the help page is wanted here.
    void helpRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_progress = nullptr;
    bool m_shownOnce = false;
};
