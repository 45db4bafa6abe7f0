#pragma once

#include "output/HtmlPlayer.h"
#include "output/ScoreImages.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class OutputHost;
class RenderWorker;

// What an export writes and where.
struct HtmlExportOptions {
    enum class Ringings {
        Library, // every bell selected first, then every ringing offered
        Offered, // the ringings offered to the ensemble as it stands
        Loaded,  // the loaded ringing alone, as ringing 1
    };
    // Empty: the installation's export folder.
    QString folder;
    Ringings ringings = Ringings::Library;
    // Each ringing's sound beside its pages, and a player on every page.
    bool withSound = true;
    // Choose again, at the end, the ringing that was chosen at the start
    // (the menu's export); otherwise no ringing stays chosen.
    bool restoreChoice = false;
};

// The export of the library's scores as a static site: the index of the
// ringings, and per ringing k a folder k/ with the background picture, one
// JPEG per group and score page, one page per pair of score pages and, with
// sound, the ringing's sound rendered offline as MP3 (the format every web
// browser plays), which the player in each page's footer block plays.
//
// It runs in steps from the event loop, one score page per step, so the
// window stays responsive; the ringing and page being exported are chosen in
// the window as they go, while a worker renders the ringing's sound. A folder
// or file that cannot be written ends the export there without a message
// box: one status-bar line names the path and the ringings written whole,
// the log the step; what was written stays, and so does the ringing. A
// cancelled export leaves an index of the ringings written whole.
class HtmlExport : public QObject {
    Q_OBJECT
public:
    explicit HtmlExport(OutputHost& host, QObject* parent = nullptr);
    ~HtmlExport() override;

    // Starts the export; a second start while one runs is ignored.
    void start(const HtmlExportOptions& options = {});
    // Ends a running export after the step in hand.
    void cancel();
    bool isRunning() const { return m_running; }

    // Score pages written by the last export (or the running one).
    int pagesWritten() const { return m_pagesWritten; }
    // Ringings of the last export written without sound, though it was asked for.
    int ringingsWithoutSound() const { return m_withoutSound; }
    // The folder or file that ended the last export; empty when none did.
    const QString& failedPath() const { return m_failedPath; }
    const QString& folder() const { return m_folder; }
    bool wasCancelled() const { return m_cancelled; }
    // The status-bar line of the last export's failure or cancel; empty after
    // one that completed.
    const QString& report() const { return m_report; }

    // A ringing longer than this is exported without sound.
    void setMaxSoundMinutes(int minutes) { m_maxSoundMinutes = minutes; }

    static constexpr int kJpegQuality = 40;

signals:
    // The ringing being exported (from 1) of `count`.
    void ringingStarted(const QString& name, int ringing, int count);
    // The sound of the ringing being exported, `done` columns of `total`.
    void soundProgress(int done, int total);
    // completed: every ringing was written; false after a failure or cancel.
    void finished(bool completed);

private:
    void scheduleStep(int delayMs = 0);
    void step();
    bool beginRinging();
    bool beginSound();
    bool endSound();
    bool writePage();
    htmlplayer::Player player() const;
    void finish(bool completed);
    void finishCancelled();
    void restoreOrClearChoice();
    void reportFailure();
    // False, with the failure logged under `step`, when it cannot be written.
    bool writeFile(const QString& path, const QByteArray& bytes, const char* step);
    bool makeFolder(const QString& path, const char* step);
    QString ringingFolder() const;

    OutputHost& m_host;
    std::unique_ptr<RenderWorker> m_sound;
    HtmlExportOptions m_options;
    bool m_running = false;
    bool m_cancelled = false;
    int m_maxSoundMinutes;
    QString m_folder;
    QByteArray m_background;
    QStringList m_names;
    QString m_previousChoice; // the common ringing chosen at the start
    int m_previousPage = 0;   // the page shown at the start, from 0
    ScoreSnapshot m_score;
    int m_ringing = 0; // from 1
    int m_page = 0;    // from 1; 0 before the ringing is chosen
    int m_pageCount = 0;
    int m_columns = 0;
    int m_intervalMs = 0;
    QString m_soundNote; // why the ringing being exported has no sound
    int m_pagesWritten = 0;
    int m_withoutSound = 0;
    QString m_failedPath;
    QString m_failure; // why the export ended early, for the status bar
    QString m_report;
};
