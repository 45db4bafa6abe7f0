#pragma once

class QMenu;
class TfrmMain;

// "Колокола > MIDI ...": the item that opens the MIDI dialog of the window's
// bells. It says so in its text when the machine has no MIDI.
void addMidiMenuItem(TfrmMain& window, QMenu& bellsMenu);

// At start-up: the status bar tells when the instrument goes or comes back,
// and the instrument used last is listened to again.
void startMidi(TfrmMain& window);
