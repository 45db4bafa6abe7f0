#pragma once

#include <QString>

// The titles of the program's windows, exactly as the user reads them (the
// platform adds nothing: the application has no display name).
namespace captions {

// The application title: message boxes and the start of the main window's title.
inline const QString kProgram = QStringLiteral("Campanix 1.2");
// The main window while no ringing is chosen.
inline const QString kNoRinging = QStringLiteral("Campanix 1.2 - Tolvena");
// The main window while the chooser of list ringings is open: the same text
// as with no ringing chosen (one written form of the title everywhere).
inline const QString kChooserOpen = kNoRinging;

// The main window with a ringing loaded.
inline QString forRinging(const QString& name) {
    return kProgram + QStringLiteral(" - ") + name;
}

} // namespace captions
