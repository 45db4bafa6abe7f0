// The MIDI item of the bells menu and its dialog, forwarded to the bells
// panel's MidiRinging.

#include "app/MainMidi.h"

#include "app/TfrmMain.h"
#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/BellsPanel.h"
#include "bells/MidiDialog.h"
#include "bells/MidiRinging.h"
#include "input/MidiInput.h"

#include <QAction>
#include <QMenu>

void addMidiMenuItem(TfrmMain& window, QMenu& bellsMenu) {
    auto* action = bellsMenu.addAction(QStringLiteral("MIDI ..."));
    action->setObjectName(QStringLiteral("nMidi"));
    QObject::connect(&bellsMenu, &QMenu::aboutToShow, action, [action] {
        action->setText(MidiInput::supportLikely() ? QStringLiteral("MIDI ...")
                                                   : QStringLiteral("MIDI (нет на этом компьютере) ..."));
    });
    QObject::connect(action, &QAction::triggered, &window, [&window] {
        guarded(lcApp, "MIDI dialog", [&window] {
            auto* dialog = window.findChild<MidiDialog*>(QStringLiteral("frmMidi"));
            if (!dialog) {
                dialog = new MidiDialog(window.bells(), &window);
            }
            dialog->showAndRefresh();
        });
    });
}

void startMidi(TfrmMain& window) {
    MidiRinging& midi = window.bells().midi();
    QObject::connect(&midi, &MidiRinging::instrumentNews, &window,
                     [&window](const QString& text) { window.showStatusMessage(text); });
    midi.reconnectRemembered();
}
