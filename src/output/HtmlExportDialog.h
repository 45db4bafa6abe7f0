#pragma once

#include "output/HtmlExport.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

// «Экспорт в HTML»: the folder of the site, which ringings (the library,
// the ringings offered, or the loaded one) and whether with sound.
class HtmlExportDialog : public QDialog {
    Q_OBJECT
public:
    // `loadedRinging`: the name of the loaded ringing, empty when none is.
    HtmlExportDialog(const QString& folder, const QString& loadedRinging, QWidget* parent = nullptr);

    HtmlExportOptions options() const;

private:
    void chooseFolder();
    void acceptIfFolderWorks();

    QLineEdit* m_folder = nullptr;
    QButtonGroup* m_ringings = nullptr;
    QCheckBox* m_withSound = nullptr;
};
