#pragma once

#include "record/Recorder.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class KeyStrikeNotifier;
class RecordingHost;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;
class QWidget;

// The recording dialog "Запись звона": rings from the keyboard are cut into
// periods of the sequencer's tempo and saved as a user ringing file. The
// rules live in Recorder; this class wires the controls and timers to it.
class TfrmRec : public QDialog {
    Q_OBJECT
public:
    // Runs the file chooser with the field's current text; nothing when the
    // user cancels.
    using FileChooser = std::function<std::optional<QString>(QWidget* parent, const QString& current)>;
    // Shows a message to the user.
    using Messenger = std::function<void(QWidget* parent, const QString& text)>;

    TfrmRec(std::unique_ptr<RecordingHost> host, KeyStrikeNotifier& strikes, QWidget* parent);
    ~TfrmRec() override;

    // The recording command: refuses an ensemble of fewer than five bells
    // with a message, otherwise halts playback, makes the dialog ready and
    // shows it modally (without blocking). False when it did not open.
    bool openForRecording();

    // Handlers of the controls and timers.
    void btnRecordClick();
    void btnStopRecClick();
    void mmRecTimerTimer();
    void mmTimeTimerTimer();
    void btnSaveExitClick();
    void btnNoSaveExitClick();
    // "Редактировать": the recording goes to the score editor, unsaved.
    void btnEditClick();
    // Run when a ringing is chosen or a file opened in the main window: the
    // recording ends (the dialog, being modal, is closed by then).
    void EndRecording();

    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setMessenger(Messenger messenger) { m_message = std::move(messenger); }
    const Recorder& recorder() const { return m_recorder; }

    // Controls, named as the design names them.
    QWidget* pnlRecord = nullptr;
    QGroupBox* gbRecordInfo = nullptr;
    QLabel* lblRecStatus = nullptr;
    QLabel* lblPeriod = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblNumBells = nullptr;
    // A strike that could not be recorded says why here.
    QLabel* lblNotice = nullptr;
    QToolButton* btnRecord = nullptr;
    QToolButton* btnStopRec = nullptr;
    QPushButton* btnSaveExit = nullptr;
    QPushButton* btnNoSaveExit = nullptr;
    QPushButton* btnEdit = nullptr;
    QWidget* pnlSaveOptions = nullptr;
    QLineEdit* edFName = nullptr;
    QLineEdit* edSName = nullptr;
    QPlainTextEdit* mRec = nullptr;
    QTimer* mmRecTimer = nullptr;
    QTimer* mmTimeTimer = nullptr;

signals:
    // The body of the recording just made (its header and its columns).
    void editRequested(const QStringList& body);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void createControls();
    QWidget* createRecordPanel();
    QWidget* createSaveOptionsPanel();
    void bellStruck(int bell, std::int64_t strikeTime);
    void showPeriod();
    void showTime();
    void armPeriodTimer();
    void armTimeTimer();
    // Closes the dialog by any way but the save: Stop, then hide; keyboard
    // ringing comes back on for the main window.
    void finish();
    std::int64_t now() const;

    std::unique_ptr<RecordingHost> m_host;
    KeyStrikeNotifier& m_strikes;
    Recorder m_recorder;
    FileChooser m_chooseFile;
    Messenger m_message;
};
