#include "record/TfrmRec.h"
#include "base/WindowCaptions.h"

#include "input/KeyStrikeNotifier.h"
#include "input/KeyboardFocusGate.h"
#include "record/RecordingHost.h"
#include "ringing/RingingFiles.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kStatusStopped = QStringLiteral("Состояние записи: Остановлено");
const QString kStatusRecording = QStringLiteral("Состояние записи: Запись");
const QString kRecordedName = QStringLiteral("Записанный звон");

QIcon drawnIcon(bool record) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (record) {
        painter.setBrush(QColor(200, 30, 30));
        painter.drawEllipse(QRectF(4, 4, 16, 16));
    } else {
        painter.setBrush(QColor(40, 40, 40));
        painter.drawRect(QRectF(5, 5, 14, 14));
    }
    return QIcon(pixmap);
}

std::optional<QString> chooseWithDialog(QWidget* parent, const QString& current) {
    // The first save starts in the user's documents, not in the program's folder.
    QString folder = current;
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(folder).isDir()) {
            folder = QDir::homePath();
        }
    }
    QFileDialog dialog(parent, QStringLiteral("Сохранить звон"), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ukl"));
    dialog.setNameFilter(QStringLiteral("Файлы колокольных звонов (*.ukl)"));
    if (!current.isEmpty()) {
        dialog.selectFile(current);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

TfrmRec::TfrmRec(std::unique_ptr<RecordingHost> host, KeyStrikeNotifier& strikes, QWidget* parent)
    : QDialog(parent), m_host(std::move(host)), m_strikes(strikes), m_chooseFile(&chooseWithDialog),
      m_message(
          [](QWidget* p, const QString& text) { QMessageBox::information(p, captions::kProgram, text); }) {
    setObjectName(QStringLiteral("frmRec"));
    setWindowTitle(QStringLiteral("Запись звона"));
    setWindowModality(Qt::ApplicationModal);
    // The bell keys ring while this dialog is the active window.
    setProperty(kRingsBellsProperty, true);
    // A fixed dialog: a title and a close button, nothing to minimise or enlarge.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    createControls();
    connect(&m_strikes, &KeyStrikeNotifier::bellStruck, this,
            [this](int bell, std::int64_t strikeTime) { bellStruck(bell, strikeTime); });
}

TfrmRec::~TfrmRec() = default;

void TfrmRec::createControls() {
    mmRecTimer = new QTimer(this);
    mmRecTimer->setObjectName(QStringLiteral("mmRecTimer"));
    mmRecTimer->setTimerType(Qt::PreciseTimer);
    mmRecTimer->setSingleShot(true);
    connect(mmRecTimer, &QTimer::timeout, this, [this] { mmRecTimerTimer(); });
    mmTimeTimer = new QTimer(this);
    mmTimeTimer->setObjectName(QStringLiteral("mmTimeTimer"));
    mmTimeTimer->setTimerType(Qt::PreciseTimer);
    mmTimeTimer->setSingleShot(true);
    connect(mmTimeTimer, &QTimer::timeout, this, [this] { mmTimeTimerTimer(); });

    // Both panels fill the client area; only the recording controls show.
    auto* stack = new QStackedLayout(this);
    stack->setStackingMode(QStackedLayout::StackOne);
    pnlRecord = createRecordPanel();
    pnlSaveOptions = createSaveOptionsPanel();
    stack->addWidget(pnlRecord);
    stack->addWidget(pnlSaveOptions);
    stack->setCurrentWidget(pnlRecord);
    pnlSaveOptions->hide();
    // 380 x 250 as designed, wider where the buttons' labels need it (the
    // fonts and style of the desktop decide), so no label is cut.
    const QSize needed = pnlRecord->minimumSizeHint().expandedTo(pnlRecord->sizeHint());
    setFixedSize(std::max(380, needed.width()), std::max(250, needed.height()));
}

QWidget* TfrmRec::createRecordPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlRecord"));
    gbRecordInfo = new QGroupBox(QStringLiteral("Управление записью"), panel);
    gbRecordInfo->setObjectName(QStringLiteral("gbRecordInfo"));
    lblRecStatus = new QLabel(kStatusStopped, gbRecordInfo);
    lblRecStatus->setObjectName(QStringLiteral("lblRecStatus"));
    lblPeriod = new QLabel(QStringLiteral("Период: 0"), gbRecordInfo);
    lblPeriod->setObjectName(QStringLiteral("lblPeriod"));
    lblTime = new QLabel(QStringLiteral("Время записи: 0:00:00"), gbRecordInfo);
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lblNumBells = new QLabel(QStringLiteral("Количество колоколов: 0"), gbRecordInfo);
    lblNumBells->setObjectName(QStringLiteral("lblNumBells"));
    lblNotice = new QLabel(gbRecordInfo);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);
    lblNotice->setStyleSheet(QStringLiteral("color: #a00000"));
    lblNotice->hide();

    btnRecord = new QToolButton(gbRecordInfo);
    btnRecord->setObjectName(QStringLiteral("btnRecord"));
    btnRecord->setToolTip(QStringLiteral("Начать запись"));
    btnRecord->setIcon(drawnIcon(true));
    btnRecord->setIconSize(QSize(24, 24));
    btnStopRec = new QToolButton(gbRecordInfo);
    btnStopRec->setObjectName(QStringLiteral("btnStopRec"));
    btnStopRec->setToolTip(QStringLiteral("Закончить запись"));
    btnStopRec->setIcon(drawnIcon(false));
    btnStopRec->setIconSize(QSize(24, 24));
    // Space and the arrows belong to keyboard ringing, not to the buttons.
    for (QToolButton* button : {btnRecord, btnStopRec}) {
        button->setFocusPolicy(Qt::NoFocus);
    }

    auto* info = new QGridLayout(gbRecordInfo);
    info->addWidget(lblRecStatus, 0, 0);
    info->addWidget(lblPeriod, 1, 0);
    info->addWidget(lblTime, 2, 0);
    info->addWidget(lblNumBells, 3, 0);
    info->addWidget(lblNotice, 4, 0, 1, 2);
    auto* transport = new QHBoxLayout;
    transport->addWidget(btnRecord);
    transport->addWidget(btnStopRec);
    info->addLayout(transport, 0, 1, 2, 1, Qt::AlignTop | Qt::AlignRight);
    info->setColumnStretch(0, 1);

    btnSaveExit = new QPushButton(QStringLiteral("Сохранить и выйти"), panel);
    btnSaveExit->setObjectName(QStringLiteral("btnSaveExit"));
    btnNoSaveExit = new QPushButton(QStringLiteral("Выйти без сохранения"), panel);
    btnNoSaveExit->setObjectName(QStringLiteral("btnNoSaveExit"));
    // Opens the recording in the score editor, to correct it before saving.
    btnEdit = new QPushButton(QStringLiteral("Редактировать"), panel);
    btnEdit->setObjectName(QStringLiteral("btnEdit"));
    for (QPushButton* button : {btnSaveExit, btnNoSaveExit, btnEdit}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnEdit);
    buttons->addWidget(btnSaveExit);
    buttons->addWidget(btnNoSaveExit);

    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(gbRecordInfo, 1);
    layout->addLayout(buttons);

    connect(btnRecord, &QToolButton::clicked, this, [this] { btnRecordClick(); });
    connect(btnStopRec, &QToolButton::clicked, this, [this] { btnStopRecClick(); });
    connect(btnSaveExit, &QPushButton::clicked, this, [this] { btnSaveExitClick(); });
    connect(btnNoSaveExit, &QPushButton::clicked, this, [this] { btnNoSaveExitClick(); });
    connect(btnEdit, &QPushButton::clicked, this, [this] { btnEditClick(); });
    return panel;
}

QWidget* TfrmRec::createSaveOptionsPanel() {
    // Kept for the design's sake: the user never sees or edits these fields;
    // the file name persists between openings of the dialog.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlSaveOptions"));
    auto* fileBox = new QGroupBox(QStringLiteral("Имя файла"), panel);
    edFName = new QLineEdit(fileBox);
    edFName->setObjectName(QStringLiteral("edFName"));
    auto* browse = new QPushButton(QStringLiteral("..."), fileBox);
    auto* fileRow = new QHBoxLayout(fileBox);
    fileRow->addWidget(edFName, 1);
    fileRow->addWidget(browse);
    auto* nameBox = new QGroupBox(QStringLiteral("Название звона"), panel);
    edSName = new QLineEdit(nameBox);
    edSName->setObjectName(QStringLiteral("edSName"));
    auto* nameRow = new QHBoxLayout(nameBox);
    nameRow->addWidget(edSName);
    auto* ok = new QPushButton(QStringLiteral("ОК"), panel);
    auto* cancel = new QPushButton(QStringLiteral("Отмена "), panel);
    for (QPushButton* button : {browse, ok, cancel}) {
        button->setAutoDefault(false);
    }
    mRec = new QPlainTextEdit(panel);
    mRec->setObjectName(QStringLiteral("mRec"));
    mRec->setReadOnly(true);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(fileBox);
    layout->addWidget(nameBox);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    layout->addWidget(mRec, 1);
    return panel;
}

std::int64_t TfrmRec::now() const {
    return m_strikes.now();
}

bool TfrmRec::openForRecording() {
    const Ensemble& ensemble = m_host->ensemble();
    if (ensemble.selectedCount() < 5) {
        m_message(parentWidget(), QStringLiteral("Необходимо выбрать не менее 5 колоколов"));
        return false;
    }
    m_host->stopSequencer();
    m_host->setKeyboardRinging(false);
    m_recorder.open(m_host->sequencerInterval());
    mmRecTimer->stop();
    mmTimeTimer->stop();
    lblNumBells->setText(QStringLiteral("Количество колоколов: ") +
                         QString::number(ensemble.selectedCount()));
    lblPeriod->setText(QStringLiteral("Период: 0"));
    lblRecStatus->setText(kStatusStopped);
    lblTime->setText(QStringLiteral("Время записи: 0:00:00"));
    lblNotice->hide();
    pnlRecord->show();
    pnlSaveOptions->hide();
    mRec->clear();
    show();
    raise();
    activateWindow();
    return true;
}

void TfrmRec::btnRecordClick() {
    btnStopRecClick();
    const std::optional<int> tooLarge = groupTooLargeToRecord(m_host->ensemble());
    if (tooLarge) {
        // A token names its bell by one digit after the group letter; a tenth
        // bell would be written as a token that plays another bell.
        m_message(this, QStringLiteral("В группе «%1» выбрано больше девяти колоколов: такой ансамбль "
                                       "нельзя записать. Уберите лишние колокола из группы.")
                            .arg(*tooLarge == kSmallGroup    ? QStringLiteral("Малые колокола")
                                 : *tooLarge == kMiddleGroup ? QStringLiteral("Средние колокола")
                                                             : QStringLiteral("Большие колокола")));
        return;
    }
    m_recorder.start(now());
    mRec->clear();
    lblNotice->hide();
    lblPeriod->setText(QStringLiteral("Период: 0"));
    lblRecStatus->setText(kStatusRecording);
    lblTime->setText(QStringLiteral("Время записи: 0:00:00"));
    armPeriodTimer();
    armTimeTimer();
    m_host->setKeyboardRinging(true);
}

void TfrmRec::btnStopRecClick() {
    const bool wasRecording = m_recorder.isRecording();
    mmRecTimer->stop();
    mmTimeTimer->stop();
    m_recorder.stop(now());
    m_host->setKeyboardRinging(false);
    lblRecStatus->setText(kStatusStopped);
    if (wasRecording) {
        showPeriod();
        showTime();
    }
}

void TfrmRec::mmRecTimerTimer() {
    if (!m_recorder.isRecording()) {
        return;
    }
    m_recorder.closeDuePeriods(now());
    showPeriod();
    armPeriodTimer();
}

void TfrmRec::mmTimeTimerTimer() {
    if (!m_recorder.isRecording()) {
        return;
    }
    showTime();
    armTimeTimer();
}

void TfrmRec::armPeriodTimer() {
    mmRecTimer->start(
        static_cast<int>(std::clamp<std::int64_t>(m_recorder.nextPeriodEnd() - now(), 0, 60000)));
}

void TfrmRec::armTimeTimer() {
    const std::int64_t t = now();
    mmTimeTimer->start(static_cast<int>(std::clamp<std::int64_t>(m_recorder.nextSecond(t) - t, 0, 1000)));
}

void TfrmRec::showPeriod() {
    lblPeriod->setText(QStringLiteral("Период: ") + QString::number(m_recorder.periodCount()));
}

void TfrmRec::showTime() {
    lblTime->setText(QStringLiteral("Время записи: ") +
                     formatRecordingTime(m_recorder.elapsedSeconds(now())));
}

void TfrmRec::bellStruck(int bell, std::int64_t strikeTime) {
    // A strike that cannot be written is never dropped without a word.
    switch (m_recorder.capture(m_host->ensemble(), bell, strikeTime)) {
    case Recorder::Capture::PositionTooHigh:
        lblNotice->setText(QStringLiteral("Колокол %1 не записан: в его группе больше девяти колоколов.")
                               .arg(kBellCount - bell));
        lblNotice->show();
        break;
    case Recorder::Capture::NoGroup:
        lblNotice->setText(
            QStringLiteral("Колокол %1 не записан: он не входит ни в одну группу.").arg(kBellCount - bell));
        lblNotice->show();
        break;
    case Recorder::Capture::Recorded:
    case Recorder::Capture::NotRecording:
        break;
    }
}

void TfrmRec::btnSaveExitClick() {
    if (!m_recorder.recordedOnce()) {
        return;
    }
    // Stopped before the chooser, so the time spent choosing a file is not
    // recorded as silence.
    btnStopRecClick();
    // A cancelled chooser abandons the save: it must never overwrite the
    // file of an earlier save without the user having chosen it.
    const std::optional<QString> chosen = m_chooseFile(this, edFName->text());
    if (!chosen) {
        return;
    }
    edFName->setText(*chosen);
    edSName->setText(kRecordedName);
    const SaveTarget target = saveTargetFor(edFName->text());
    if (!target.folderExists) {
        m_message(this, QStringLiteral("Указанная директория не найдена"));
        return;
    }
    mRec->setPlainText(m_recorder.lines().join(u'\n'));
    const RingingWriteResult written =
        writeUserRingingFile(target.path, m_host->ensemble(), edSName->text(), m_recorder.body());
    if (!written) {
        m_message(this, written.error);
        return;
    }
    hide();
    m_host->setKeyboardRinging(true);
}

void TfrmRec::btnEditClick() {
    if (!m_recorder.recordedOnce()) {
        return;
    }
    btnStopRecClick();
    const QStringList body = m_recorder.body();
    finish();
    emit editRequested(body);
}

void TfrmRec::btnNoSaveExitClick() {
    finish();
}

void TfrmRec::EndRecording() {
    mmRecTimer->stop();
    mmTimeTimer->stop();
    m_recorder.stop(now());
}

void TfrmRec::finish() {
    btnStopRecClick();
    hide();
    // The main window rings from the keyboard again as soon as the dialog
    // is gone, not only after the next ringing is chosen.
    m_host->setKeyboardRinging(true);
}

void TfrmRec::closeEvent(QCloseEvent* event) {
    finish();
    event->accept();
}

void TfrmRec::reject() {
    finish();
}
