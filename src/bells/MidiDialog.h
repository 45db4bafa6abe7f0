#pragma once

#include "input/MidiInput.h"
#include "input/MidiMapping.h"

#include <QDialog>

#include <optional>

class BellsPanel;
class MidiRinging;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

// "MIDI": the instrument's port, its channel and notes, the loudness curve,
// and learning the notes pad by pad. Modeless, so that a bell of the main
// window can be clicked while learning. The port list follows devices that
// come and go while the dialog is open.
class MidiDialog : public QDialog {
public:
    MidiDialog(BellsPanel& panel, QWidget* parent);
    ~MidiDialog() override;

    // Looks for MIDI support and the ports again, and shows the dialog.
    void showAndRefresh();
    // The ports offered now (for tests).
    QList<MidiPort> offeredPorts() const { return m_ports; }

    // The sentence shown when the machine has no way to MIDI.
    static QString noSupportText();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refreshPorts();
    void portChosen(int index);
    void learnClicked();
    void showLearn(std::optional<int> note, int bell);
    void showChoices();
    // Asks before a preset replaces notes the user set up.
    void replaceMap(const MidiNoteMap& preset, const QString& name);

    BellsPanel& m_panel;
    MidiRinging& m_midi;
    QList<MidiPort> m_systemPorts; // as the system listed them last
    bool m_shownListening = false; // whether the list showed the port listened to
    QList<MidiPort> m_ports;       // as offered, after "Нет"
    QLabel* m_support = nullptr;
    QComboBox* m_port = nullptr;
    QComboBox* m_channel = nullptr;
    QComboBox* m_curve = nullptr;
    QSpinBox* m_firstNote = nullptr;
    QSpinBox* m_threshold = nullptr;
    QPushButton* m_learn = nullptr;
    QPushButton* m_noBell = nullptr;
    QLabel* m_learnText = nullptr;
    QLabel* m_lastNote = nullptr;
    QTimer* m_poll = nullptr;
    bool m_filling = false;
};
