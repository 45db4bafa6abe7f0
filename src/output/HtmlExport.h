#pragma once

#include "output/ScoreImages.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class OutputHost;

// The export of the library's scores as a static site: with every bell
// selected, the index of the ringings the ensemble can play, and per ringing
// k a folder k/ with the background picture, one JPEG per group and score
// page and one page per pair of score pages.
//
// It runs in steps from the event loop, one score page per step, so the
// window stays responsive; the ringing and page being exported are chosen in
// the window as they go. A folder or file that cannot be written ends the
// export there without a message box: one status-bar line names the path and
// the ringings written whole, the log the step; what was written stays, and
// so does the ringing.
class HtmlExport : public QObject {
    Q_OBJECT
public:
    explicit HtmlExport(OutputHost& host, QObject* parent = nullptr);

    // Starts the export; a second start while one runs is ignored.
    void start();
    bool isRunning() const { return m_running; }

    // Score pages written by the last export (or the running one).
    int pagesWritten() const { return m_pagesWritten; }
    // The folder or file that ended the last export; empty when none did.
    const QString& failedPath() const { return m_failedPath; }

    static constexpr int kJpegQuality = 40;

signals:
    // The ringing being exported (from 1) of `count`.
    void ringingStarted(const QString& name, int ringing, int count);
    void finished(bool completed);

private:
    void scheduleStep();
    void step();
    bool beginRinging();
    bool writePage();
    void finish(bool completed);
    void reportFailure();
    // False, with the failure logged under `step`, when it cannot be written.
    bool writeFile(const QString& path, const QByteArray& bytes, const char* step);
    bool makeFolder(const QString& path, const char* step);
    QString ringingFolder() const;

    OutputHost& m_host;
    bool m_running = false;
    QString m_folder;
    QByteArray m_background;
    QStringList m_names;
    ScoreSnapshot m_score;
    int m_ringing = 0; // from 1
    int m_page = 0;    // from 1; 0 before the ringing is chosen
    int m_pageCount = 0;
    int m_pagesWritten = 0;
    QString m_failedPath;
    QString m_failure; // why the export ended early, for the status bar
};
