#include "ringing/TfrmSelSound.h"

#include "base/Logging.h"
#include "base/TextCodec.h"
#include "ringing/RingingFiles.h"
#include "ringing/RingingReader.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TfrmSelSound::TfrmSelSound(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSelSound"));
    setWindowTitle(QStringLiteral("Выбор звона"));
    setModal(true);

    auto* row = new QHBoxLayout(this);
    auto* listBox = new QGroupBox(QStringLiteral("Выбор звона"), this);
    auto* listLayout = new QVBoxLayout(listBox);
    lbSounds = new QListWidget(listBox);
    lbSounds->setObjectName(QStringLiteral("lbSounds"));
    listLayout->addWidget(lbSounds);
    row->addWidget(listBox, 1);

    auto* descBox = new QGroupBox(QStringLiteral("Описание звона"), this);
    auto* descLayout = new QVBoxLayout(descBox);
    mDesc = new QPlainTextEdit(descBox);
    mDesc->setObjectName(QStringLiteral("mDesc"));
    mDesc->setReadOnly(true);
    descLayout->addWidget(mDesc, 1);
    cbRound = new QCheckBox(QStringLiteral("Играть все по очереди"), descBox);
    cbRound->setObjectName(QStringLiteral("cbRound"));
    descLayout->addWidget(cbRound);
    btnLoad = new QPushButton(QStringLiteral("Загрузить"), descBox);
    btnLoad->setObjectName(QStringLiteral("btnLoad"));
    btnLoad->setDefault(true);
    descLayout->addWidget(btnLoad, 0, Qt::AlignRight);
    row->addWidget(descBox, 1);

    setFixedSize(560, 340);

    connect(lbSounds, &QListWidget::currentRowChanged, this, [this] { lbSoundsClick(); });
    connect(btnLoad, &QPushButton::clicked, this, [this] { btnLoadClick(); });
}

void TfrmSelSound::fillList(const QString& listPath) {
    const QSignalBlocker block(lbSounds);
    lbSounds->clear();
    for (const QString& name : readRingingFileLines(listPath).lines.value_or(QStringList{})) {
        if (!name.trimmed().isEmpty()) {
            lbSounds->addItem(name);
        }
    }
    if (lbSounds->count() > 0) {
        lbSounds->setCurrentRow(0);
    }
    // Also with an empty or missing list: nothing is then highlighted and
    // nothing kept from an earlier opening can be loaded.
    lbSoundsClick();
}

void TfrmSelSound::lbSoundsClick() {
    // What is kept is always the highlighted ringing or nothing: a ringing
    // that cannot be read (or is shorter than its preamble) clears the kept
    // text and the memo, and Load does nothing until a readable one is chosen.
    m_highlighted.clear();
    mDesc->clear();
    const QString name = selectedName();
    if (!name.isEmpty()) {
        const QString path = m_customDir + name + QStringLiteral(".kol");
        const RingingFileLines read = readRingingFileLines(path);
        const RingingRead document =
            read ? ringingDocumentFromLines(*read.lines, RingingKind::List) : RingingRead{std::nullopt, read.failure};
        if (document) {
            m_highlighted = *read.lines;
            mDesc->setPlainText(m_highlighted.at(3) + QStringLiteral("\n\n") + m_highlighted.at(2));
        } else {
            // Said where the user looks: the description's place.
            mDesc->setPlainText(ringingFailureMessage(path, document.failure));
            qCWarning(lcRinging).noquote() << ringingFailureText(path, document.failure);
        }
    }
    btnLoad->setEnabled(hasLoadableRinging());
}

void TfrmSelSound::btnLoadClick() {
    if (!hasLoadableRinging() || !m_loader || !m_loader(m_highlighted)) {
        return;
    }
    if (m_play) {
        m_play();
    }
    accept();
}

QString TfrmSelSound::selectedName() const {
    const QListWidgetItem* item = lbSounds->currentItem();
    return item ? item->text() : QString();
}

void TfrmSelSound::selectNext() {
    const int count = lbSounds->count();
    if (count == 0) {
        return;
    }
    const int next = lbSounds->currentRow() + 1;
    lbSounds->setCurrentRow(next >= count ? 0 : next);
}

int TfrmSelSound::execCentred() {
    if (const QScreen* screen = QApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    return exec();
}
