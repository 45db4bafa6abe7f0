#pragma once

class QObject;
class QWidget;

// A dialog that rings the bells from the keyboard while it is the active
// window (recording, practice) carries this property, set to true.
inline constexpr char kRingsBellsProperty[] = "ringsBells";
// A window where the bells' own keys ring them but Space, the arrows, the
// digits and keys held with Ctrl or Alt stay the window's (the lesson window,
// whose page scrolls and copies with them) carries this one instead.
inline constexpr char kRingsBellStrikesProperty[] = "ringsBellStrikes";

// Whether a key press that reached `watched` may ring bells of `mainWindow`.
// Keyboard ringing takes keys only from the main window itself, or from a
// dialog marked with kRingsBellsProperty or kRingsBellStrikesProperty: while that window is the active
// window, no menu or other pop-up and no other modal dialog is open, and the
// focus is not in a control that types or navigates with those keys (an
// editable text field, spin box or list, the editor of a list cell, the menu
// bar). Everywhere else the keys go to the control that has the focus,
// untouched.
bool keyboardRingingMayAct(const QWidget* mainWindow, const QObject* watched);

// Whether the active window rings strikes only (kRingsBellStrikesProperty).
bool keyboardRingsStrikesOnly();
