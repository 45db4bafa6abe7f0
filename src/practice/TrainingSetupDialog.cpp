#include "practice/TrainingSetupDialog.h"

#include "playback/TransportText.h"
#include "practice/CalibrationDialog.h"
#include "practice/HardBarsDrill.h"
#include "practice/PracticeHost.h"
#include "practice/Trainer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kSingleBellId = 3;
// Several groups at once: this plus the part's group bits.
constexpr int kSeveralGroupsId = 100;
// The pairs and the whole, in the order the dialog offers them: the left
// hand (middle and big), the two upper groups, and all three.
constexpr int kSeveralGroups[] = {
    PracticePart::bitOf(kMiddleGroup) | PracticePart::bitOf(kBigGroup),
    PracticePart::bitOf(kSmallGroup) | PracticePart::bitOf(kMiddleGroup),
    PracticePart::bitOf(kSmallGroup) | PracticePart::bitOf(kMiddleGroup) | PracticePart::bitOf(kBigGroup),
};
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
    // Offered when every group of the combination has bells.
    int row = 5;
    for (const int bits : kSeveralGroups) {
        const PracticePart part = PracticePart::ofGroups(bits);
        bool playable = true;
        for (int g = 0; g < kGroupCount; ++g) {
            const int code = ensembleGroupNumber(groupAt(g));
            playable = playable && (!(bits & PracticePart::bitOf(code)) || m_groups[g]->isEnabled());
        }
        auto* button = new QRadioButton(
            QStringLiteral("%1 (%2)").arg(part.caption()).arg(part.bells(ensemble).size()), this);
        button->setObjectName(QStringLiteral("rbTrainingGroups") + part.code());
        button->setEnabled(playable);
        m_choice->addButton(button, kSeveralGroupsId + bits);
        grid->addWidget(button, row++, 0, 1, 2);
    }
    layout->addLayout(grid);
    m_grade = new QLabel(this);
    m_grade->setObjectName(QStringLiteral("lblTrainingGrade"));
    m_grade->setWordWrap(true);
    layout->addWidget(m_grade);
    addPassage(layout);

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
                                           "колоколов. Остановить тренировку можно кнопкой «Остановить». "
                                           "Отрывок повторяется, пока вы его не остановите, с тактом отсчета "
                                           "перед каждым проходом."),
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
    if (id >= kSeveralGroupsId) {
        return PracticePart::ofGroups(id - kSeveralGroupsId);
    }
    return id >= 0 ? PracticePart::ofGroup(id + 1) : PracticePart{};
}

void TrainingSetupDialog::choose(const PracticePart& part) {
    if (QAbstractButton* several = m_choice->button(kSeveralGroupsId + part.groups);
        part.isSeveralGroups() && several && several->isEnabled()) {
        several->setChecked(true);
        return;
    }
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
    QStringList parts;
    for (const StrikeInput& input : m_host.strikeInputs()) {
        const QString figure = LatencyCalibration::caption(m_trainer.latencyMs(input));
        parts << (input.kind == StrikeInput::Kind::Keys ? figure : input.label() + QStringLiteral(" ") + figure);
    }
    m_latency->setText(QStringLiteral("Ваша задержка: ") + parts.join(QStringLiteral("; ")));
}

void TrainingSetupDialog::updateStart() {
    m_start->setEnabled(!part().bells(m_host.ensemble()).isEmpty());
    m_grade->setText(gradeText());
}

void TrainingSetupDialog::addPassage(QVBoxLayout* layout) {
    const int bars =
        std::max(1, (m_host.commonScoreSize() + HardBarsDrill::kBarColumns - 1) / HardBarsDrill::kBarColumns);
    auto* passage = new QHBoxLayout;
    m_passage = new QCheckBox(QStringLiteral("Только отрывок: с такта"), this);
    m_passage->setObjectName(QStringLiteral("cbTrainingPassage"));
    m_firstBar = new QSpinBox(this);
    m_firstBar->setObjectName(QStringLiteral("seTrainingFirstBar"));
    m_lastBar = new QSpinBox(this);
    m_lastBar->setObjectName(QStringLiteral("seTrainingLastBar"));
    for (QSpinBox* box : {m_firstBar, m_lastBar}) {
        box->setRange(1, bars);
    }
    m_lastBar->setValue(bars);
    passage->addWidget(m_passage);
    passage->addWidget(m_firstBar);
    passage->addWidget(new QLabel(QStringLiteral("по такт"), this));
    passage->addWidget(m_lastBar);
    passage->addStretch(1);
    layout->addLayout(passage);

    auto* ramp = new QGridLayout;
    m_ramp = new QCheckBox(QStringLiteral("Разгон: начать с"), this);
    m_ramp->setObjectName(QStringLiteral("cbTrainingRamp"));
    m_rampStart = new QSpinBox(this);
    m_rampStart->setObjectName(QStringLiteral("seTrainingRampStart"));
    m_rampStart->setRange(TempoRamp::kLeastPercent, 100);
    m_rampStep = new QSpinBox(this);
    m_rampStep->setObjectName(QStringLiteral("seTrainingRampStep"));
    m_rampStep->setRange(1, 50);
    m_rampGood = new QSpinBox(this);
    m_rampGood->setObjectName(QStringLiteral("seTrainingRampGood"));
    m_rampGood->setRange(10, 100);
    for (QSpinBox* box : {m_rampStart, m_rampStep, m_rampGood}) {
        box->setSuffix(QStringLiteral(" %"));
    }
    ramp->addWidget(m_ramp, 0, 0);
    ramp->addWidget(m_rampStart, 0, 1);
    ramp->addWidget(new QLabel(QStringLiteral("темпа, шаг"), this), 0, 2);
    ramp->addWidget(m_rampStep, 0, 3);
    ramp->addWidget(new QLabel(QStringLiteral("после прохода, где в допуске не меньше"), this), 1, 0, 1, 3);
    ramp->addWidget(m_rampGood, 1, 3);
    layout->addLayout(ramp);
    chooseRamp(TempoRamp::Settings{});
    m_ramp->setChecked(false);

    // Bars selected on the score come as the passage.
    if (const auto selection = m_host.scoreSelection()) {
        choosePassage(selection->first / HardBarsDrill::kBarColumns + 1,
                      selection->second / HardBarsDrill::kBarColumns + 1);
    }
    // The last bar never stands before the first.
    connect(m_firstBar, &QSpinBox::valueChanged, this, [this](int first) {
        m_lastBar->setValue(std::max(first, m_lastBar->value()));
        m_passage->setChecked(true);
    });
    connect(m_lastBar, &QSpinBox::valueChanged, this, [this](int last) {
        m_firstBar->setValue(std::min(last, m_firstBar->value()));
        m_passage->setChecked(true);
    });
    for (QSpinBox* box : {m_rampStart, m_rampStep, m_rampGood}) {
        connect(box, &QSpinBox::valueChanged, m_ramp, [this] { m_ramp->setChecked(true); });
    }
}

void TrainingSetupDialog::choosePassage(int firstBar, int lastBar) {
    const QSignalBlocker quietFirst(m_firstBar);
    const QSignalBlocker quietLast(m_lastBar);
    m_firstBar->setValue(std::min(firstBar, lastBar));
    m_lastBar->setValue(std::max(firstBar, lastBar));
    m_passage->setChecked(true);
}

void TrainingSetupDialog::chooseRamp(const TempoRamp::Settings& settings) {
    const QSignalBlocker quietStart(m_rampStart);
    const QSignalBlocker quietStep(m_rampStep);
    const QSignalBlocker quietGood(m_rampGood);
    m_rampStart->setValue(settings.startPercent);
    m_rampStep->setValue(settings.stepPercent);
    m_rampGood->setValue(settings.goodSharePercent);
    m_ramp->setChecked(true);
}

PracticePlan TrainingSetupDialog::plan() const {
    PracticePlan plan;
    plan.part = part();
    if (m_passage->isChecked()) {
        plan.bars = std::pair<int, int>{m_firstBar->value() - 1, m_lastBar->value() - 1};
    }
    if (m_ramp->isChecked()) {
        plan.ramp = TempoRamp::Settings{m_rampStart->value(), m_rampStep->value(), m_rampGood->value()};
    }
    return plan;
}

QString TrainingSetupDialog::gradeText() const {
    const PracticePart chosen = part();
    if (chosen.bells(m_host.ensemble()).isEmpty()) {
        return QString();
    }
    const int grade = m_trainer.grades().grade(m_trainer.ringingName(), chosen.code());
    return QStringLiteral("Уровень этой партии: %1. Допуск в работе: %2 мс.")
        .arg(PracticeGrades::caption(grade))
        .arg(PracticeGrades::workingToleranceMs(grade));
}

void TrainingSetupDialog::calibrate() {
    CalibrationDialog::Clock clock;
    clock.sampleRate = m_host.audioSampleRate();
    clock.frame = [this] { return m_host.audioFrameClock(); };
    // The click is the smallest bell: its short bright strike is easy to tap to.
    clock.click = [this](std::int64_t frame) { m_host.soundBell(kBellCount - 1, frame); };
    QList<CalibrationDialog::Input> inputs;
    for (const StrikeInput& input : m_host.strikeInputs()) {
        inputs.append({input, m_trainer.latencyMs(input)});
    }
    CalibrationDialog dialog(this, clock, inputs);
    // The taps must not ring bells meanwhile; a pad's taps come to the dialog.
    const bool ringing = m_host.keyboardRinging();
    m_host.setKeyboardRinging(false);
    m_host.listenToInputTaps(
        [&dialog](const StrikeInput& input, std::int64_t steadyNs) { dialog.inputTap(input, steadyNs); });
    const int result = dialog.exec();
    m_host.listenToInputTaps({});
    m_host.setKeyboardRinging(ringing);
    if (result == QDialog::Accepted && dialog.estimate().valid) {
        m_trainer.setLatencyMs(dialog.offsetMs(), dialog.input());
    }
    showLatency();
}
