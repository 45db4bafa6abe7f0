#pragma once

class QCoreApplication;

// Qt's own texts (file and print dialogs, the overwrite question, the
// buttons of message boxes) in Russian, as the rest of the program is. The
// translations are those installed with Qt; without them Qt stays in English
// and the log says so. True when they were loaded.
bool installQtTranslations(QCoreApplication& application);
