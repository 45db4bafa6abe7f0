#include "ui/QtTranslations.h"

#include "base/Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtTranslations(QCoreApplication& application) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ru"), folder) ||
        !QCoreApplication::installTranslator(translator)) {
        qCWarning(lcUi) << "Qt's Russian translations were not found in" << folder
                        << "- its dialogs stay in English";
        delete translator;
        return false;
    }
    return true;
}
