#pragma once

#include "output/RenderWorker.h"
#include "playback/RingingRenderer.h"

#include <QObject>
#include <QString>

#include <optional>

class QProgressDialog;
class OutputHost;
class QTimer;

// The render job of the loaded ringing to `path` as it would play now
// (".flac" gives FLAC, ".mp3" MP3, anything else WAV); nothing, with `error`
// set, when no ringing is loaded or a sample is missing. `everyGroup`: every
// group sounds, whatever the group check boxes say.
std::optional<RenderJob> soundJobFor(const OutputHost& host, const QString& path, QString* error,
                                     bool everyGroup = false);

// "Сохранить как звук ...": the loaded ringing rendered to a WAV or FLAC file
// as it would play now (ensemble, sample set, tempo, group check boxes),
// every column on its exact frame, through the same renderer as the
// command-line tool. The render runs on a worker thread of its own with a
// progress dialog that can cancel it; a cancelled or failed render leaves no
// file behind, and an existing file is only replaced by a complete one.
class SoundExport : public QObject {
    Q_OBJECT
public:
    explicit SoundExport(OutputHost& host, QObject* parent = nullptr);
    ~SoundExport() override; // cancels a running render and waits for it

    // The menu command: asks for the file, then renders.
    void nSaveSoundClick();

    // The render job for `path` from the window's present state; nothing,
    // with `error` set, when no ringing is loaded or a sample is missing.
    std::optional<RenderJob> jobFor(const QString& path, QString* error) const;

    // Starts rendering to `path` (".flac" gives FLAC, anything else WAV)
    // with the progress dialog; false, with `error` set, when it cannot start.
    bool start(const QString& path, QString* error);
    void cancel();
    bool isRunning() const { return m_worker.isRunning(); }

    // A file name for the loaded ringing, from its name.
    QString suggestedFileName() const;

signals:
    // ok: the file is complete; otherwise `error` names the file and says why
    // in the user's words (empty when cancelled).
    void finished(bool ok, const QString& error);

private:
    void poll();
    void finishRun();

    OutputHost& m_host;
    RenderWorker m_worker;
    QProgressDialog* m_dialog = nullptr;
    QTimer* m_poll = nullptr;
    QString m_lastFolder;
    QString m_path;
    bool m_fromMenu = false; // report the outcome in the window
};
