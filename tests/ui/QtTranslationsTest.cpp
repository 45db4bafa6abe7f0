// Qt's own dialogs speak Russian with the rest of the program.

#include "ui/QtTranslations.h"
#include "support/TestProgram.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

TEST(QtTranslations, StandardButtonsInRussian) {
    ensureQtApplication();
    const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm");
    if (!QFileInfo::exists(file)) {
        GTEST_SKIP() << "Qt's translations are not installed (qt6-translations-l10n): " << file.toStdString();
    }
    ASSERT_TRUE(installQtTranslations(*qApp));
    // The texts Qt puts on the buttons of message boxes and file dialogs.
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Сохранить"));
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace
