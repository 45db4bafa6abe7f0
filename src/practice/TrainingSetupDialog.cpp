#include "practice/TrainingSetupDialog.h"

#include "playback/TransportText.h"
#include "practice/CalibrationDialog.h"
#include "practice/PracticeHost.h"
#include "practice/Trainer.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kSingleBellId = 3;
} // namespace

TrainingSetupDialog::TrainingSetupDialog(PracticeHost& host, Trainer& trainer)
    : QDialog(host.dialogParent()), m_host(host), m_trainer(trainer) {
    setWindowTitle(QStringLiteral("Тренировка"));
    setObjectName(QStringLiteral("TrainingSetupDialog"));
    setMinimumWidth(460);
    auto* layout = new QVBoxLayout(this);
    auto* ringing =
        new QLabel(QStringLiteral("Звон: %1\n%2")
                       .arg(trainer.ringingName(), transport::tempoCaption(host.sequencerInterval())),
                   this);
    layout->addWidget(ringing);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Что вы будете звонить:"), this), 0, 0, 1, 2);
    m_choice = new QButtonGroup(this);
    const Ensemble& ensemble = host.ensemble();
    for (int g = 0; g < kGroupCount; ++g) {
        const PracticePart part = PracticePart::ofGroup(ensembleGroupNumber(groupAt(g)));
        const int count = static_cast<int>(part.bells(ensemble).size());
        m_groups[g] = new QRadioButton(QStringLiteral("%1 (%2)").arg(part.caption()).arg(count), this);
        m_groups[g]->setEnabled(count > 0);
        m_choice->addButton(m_groups[g], g);
        grid->addWidget(m_groups[g], g + 1, 0, 1, 2);
    }
    m_single = new QRadioButton(QStringLiteral("Один колокол:"), this);
    m_choice->addButton(m_single, kSingleBellId);
    m_bell = new QComboBox(this);
    m_bell->setObjectName(QStringLiteral("cbTrainingBell"));
    for (int bell = 0; bell < kBellCount; ++bell) {
        if (ensemble.isSelected(bell) && ensemble.group(bell) != kNoGroup) {
            m_bell->addItem(PracticePart::ofBell(bell).caption(), bell);
        }
    }
    m_single->setEnabled(m_bell->count() > 0);
    m_bell->setEnabled(m_bell->count() > 0);
    grid->addWidget(m_single, 4, 0);
    grid->addWidget(m_bell, 4, 1);
    layout->addLayout(grid);

    auto* latencyRow = new QHBoxLayout;
    m_latency = new QLabel(this);
    m_latency->setObjectName(QStringLiteral("lblTrainingLatency"));
    auto* calibrate = new QPushButton(QStringLiteral("Калибровка ..."), this);
    calibrate->setAutoDefault(false);
    latencyRow->addWidget(m_latency, 1);
    latencyRow->addWidget(calibrate);
    layout->addLayout(latencyRow);

    auto* hint = new QLabel(QStringLiteral("Программа отсчитает один такт на самом большом колоколе, затем "
                                           "сыграет остальные партии. Выбранную партию звоните клавишами "
                                           "колоколов. Остановить тренировку можно кнопкой «Остановить»."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* buttons = new QDialogButtonBox(this);
    m_start = buttons->addButton(QStringLiteral("Начать"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(calibrate, &QPushButton::clicked, this, &TrainingSetupDialog::calibrate);
    connect(m_choice, &QButtonGroup::idToggled, this, [this] { updateStart(); });
    connect(m_bell, &QComboBox::activated, this, [this] { m_single->setChecked(true); });

    // The first group that has bells is chosen to begin with.
    for (QRadioButton* button : m_groups) {
        if (button->isEnabled()) {
            button->setChecked(true);
            break;
        }
    }
    showLatency();
    updateStart();
}

PracticePart TrainingSetupDialog::part() const {
    const int id = m_choice->checkedId();
    if (id == kSingleBellId) {
        return m_bell->currentIndex() >= 0 ? PracticePart::ofBell(m_bell->currentData().toInt())
                                           : PracticePart{};
    }
    return id >= 0 ? PracticePart::ofGroup(id + 1) : PracticePart{};
}

void TrainingSetupDialog::choose(const PracticePart& part) {
    if (part.isSingleBell()) {
        const int index = m_bell->findData(part.bell);
        if (index >= 0) {
            m_bell->setCurrentIndex(index);
            m_single->setChecked(true);
        }
    } else if (part.group >= kSmallGroup && part.group <= kBigGroup) {
        QRadioButton* button = m_groups[groupIndex(bellGroupOf(part.group))];
        if (button->isEnabled()) {
            button->setChecked(true);
        }
    }
}

void TrainingSetupDialog::showLatency() {
    m_latency->setText(QStringLiteral("Ваша задержка: %1 мс").arg(m_trainer.latencyMs()));
}

void TrainingSetupDialog::updateStart() {
    m_start->setEnabled(!part().bells(m_host.ensemble()).isEmpty());
}

void TrainingSetupDialog::calibrate() {
    CalibrationDialog::Clock clock;
    clock.sampleRate = m_host.audioSampleRate();
    clock.frame = [this] { return m_host.audioFrameClock(); };
    // The click is the smallest bell: its short bright strike is easy to tap to.
    clock.click = [this](std::int64_t frame) { m_host.soundBell(kBellCount - 1, frame); };
    CalibrationDialog dialog(this, clock, m_trainer.latencyMs());
    // The taps must not ring bells meanwhile.
    const bool ringing = m_host.keyboardRinging();
    m_host.setKeyboardRinging(false);
    const int result = dialog.exec();
    m_host.setKeyboardRinging(ringing);
    if (result == QDialog::Accepted && dialog.estimate().valid) {
        m_trainer.setLatencyMs(dialog.offsetMs());
    }
    showLatency();
}
