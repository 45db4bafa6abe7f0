#pragma once

#include <QObject>

#include <memory>

class HtmlExport;
class OutputHost;
class QLabel;
class QProgressBar;
class QProgressDialog;
class ScorePrinting;
class SoundExport;

// Printing, the HTML export and saving a ringing as sound, for the main
// window, which creates it on first use and forwards its commands to it.
// It is a child of the host's window.
class OutputController : public QObject {
    Q_OBJECT
public:
    explicit OutputController(OutputHost& host);
    ~OutputController() override;

    // The menu command "Печать".
    void nPrintClick();
    // Play when the program was started with the first argument "html":
    // the library, with sound unless the arguments hold kNoSoundFlag.
    void exportHtml(const QStringList& arguments = {});
    // The menu command "Экспорт в HTML ...": asks for the folder, the
    // ringings and the sound, then exports with a progress dialog.
    void nExportHtmlClick();
    // The menu command "Сохранить как звук ...".
    void nSaveSoundClick();

    // The first command-line argument that turns Play into the export:
    // exactly "html", in lower case.
    static bool isExportMode(const QStringList& arguments);
    // The command-line flag that exports without sound.
    static inline const QString kNoSoundFlag = QStringLiteral("--no-sound");

    ScorePrinting& printing() { return *m_printing; }
    HtmlExport& htmlExport() { return *m_htmlExport; }
    SoundExport& soundExport() { return *m_soundExport; }
    OutputHost& host() { return m_host; }

private:
    void showExportProgress(const QString& name, int ringing, int count);
    void hideExportProgress();
    void showSoundProgress(int done, int total);
    void exportFinished(bool completed);

    OutputHost& m_host;
    std::unique_ptr<ScorePrinting> m_printing;
    HtmlExport* m_htmlExport = nullptr;
    SoundExport* m_soundExport = nullptr;
    QLabel* m_exportLabel = nullptr;
    QProgressBar* m_exportProgress = nullptr;
    QProgressDialog* m_exportDialog = nullptr; // the menu's export only
    QString m_exportFolder;                    // the menu's last folder
    int m_exportRinging = 0;
    static constexpr int kRingingSteps = 100; // of the progress dialog per ringing
};
