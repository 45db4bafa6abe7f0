#include "output/HtmlExportDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Экспорт в HTML");

} // namespace

HtmlExportDialog::HtmlExportDialog(const QString& folder, const QString& loadedRinging, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgExportHtml"));
    setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(this);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(new QLabel(QStringLiteral("Папка:"), this));
    m_folder = new QLineEdit(QDir::toNativeSeparators(folder), this);
    m_folder->setObjectName(QStringLiteral("edExportFolder"));
    m_folder->setMinimumWidth(320);
    folderRow->addWidget(m_folder, 1);
    auto* browse = new QPushButton(QStringLiteral("Выбрать ..."), this);
    browse->setObjectName(QStringLiteral("btnExportFolder"));
    connect(browse, &QPushButton::clicked, this, &HtmlExportDialog::chooseFolder);
    folderRow->addWidget(browse);
    layout->addLayout(folderRow);

    auto* which = new QGroupBox(QStringLiteral("Звоны"), this);
    auto* whichLayout = new QVBoxLayout(which);
    m_ringings = new QButtonGroup(this);
    const struct {
        HtmlExportOptions::Ringings id;
        const char* name;
        QString caption;
    } choices[] = {
        {HtmlExportOptions::Ringings::Library, "rbExportLibrary",
         QStringLiteral("вся библиотека (будут выделены все колокола)")},
        {HtmlExportOptions::Ringings::Offered, "rbExportOffered",
         QStringLiteral("звоны, предлагаемые ансамблю")},
        {HtmlExportOptions::Ringings::Loaded, "rbExportLoaded",
         loadedRinging.isEmpty() ? QStringLiteral("загруженный звон (звон не загружен)")
                                 : QStringLiteral("загруженный звон: %1").arg(loadedRinging)},
    };
    for (const auto& choice : choices) {
        auto* button = new QRadioButton(choice.caption, which);
        button->setObjectName(QString::fromLatin1(choice.name));
        m_ringings->addButton(button, static_cast<int>(choice.id));
        whichLayout->addWidget(button);
    }
    m_ringings->button(static_cast<int>(HtmlExportOptions::Ringings::Library))->setChecked(true);
    m_ringings->button(static_cast<int>(HtmlExportOptions::Ringings::Loaded))
        ->setEnabled(!loadedRinging.isEmpty());
    layout->addWidget(which);

    m_withSound = new QCheckBox(QStringLiteral("со звуком"), this);
    m_withSound->setObjectName(QStringLiteral("cbExportSound"));
    m_withSound->setChecked(true);
    layout->addWidget(m_withSound);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Экспорт"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &HtmlExportDialog::acceptIfFolderWorks);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

HtmlExportOptions HtmlExportDialog::options() const {
    HtmlExportOptions options;
    options.folder = QDir::fromNativeSeparators(m_folder->text().trimmed());
    while (options.folder.size() > 1 && options.folder.endsWith(u'/')) {
        options.folder.chop(1);
    }
    options.ringings = static_cast<HtmlExportOptions::Ringings>(m_ringings->checkedId());
    options.withSound = m_withSound->isChecked();
    options.restoreChoice = true;
    return options;
}

void HtmlExportDialog::chooseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(this, kTitle, m_folder->text());
    if (!folder.isEmpty()) {
        m_folder->setText(QDir::toNativeSeparators(folder));
    }
}

void HtmlExportDialog::acceptIfFolderWorks() {
    const QString folder = options().folder;
    if (folder.isEmpty()) {
        QMessageBox::information(this, kTitle, QStringLiteral("Укажите папку, в которую записать сайт."));
        return;
    }
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        QMessageBox::warning(this, kTitle,
                             QStringLiteral("%1 — это файл, а не папка.").arg(m_folder->text()));
        return;
    }
    // Another site, or any page of the user's, would be overwritten.
    if (QFileInfo::exists(folder + QStringLiteral("/index.html")) &&
        QMessageBox::question(
            this, kTitle,
            QStringLiteral("В папке %1 уже есть сайт (index.html). Заменить его?").arg(m_folder->text()),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    accept();
}
