#include "practice/CalibrationDialog.h"

#include "input/KeyStrikeNotifier.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kFirstClickMs = 400;
} // namespace

CalibrationDialog::CalibrationDialog(QWidget* parent, Clock clock, QList<Input> inputs)
    : QDialog(parent), m_clock(std::move(clock)), m_keys(m_clock.sampleRate), m_inputs(std::move(inputs)) {
    if (m_inputs.isEmpty()) {
        m_inputs.append(Input{});
    }
    setWindowTitle(QStringLiteral("Калибровка задержки"));
    setObjectName(QStringLiteral("CalibrationDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(QStringLiteral("Выберите, чем будете звонить, нажмите «Начать» и ударяйте по любой "
                                  "клавише (или щелкайте мышью), а с MIDI-инструментом по любому пэду, "
                                  "точно в такт щелчкам: %1 щелчков. Программа измерит задержку "
                                  "звука и этого ввода и вашу привычку ударять раньше или позже и "
                                  "будет вычитать ее из всех ошибок.")
                       .arg(kClicks),
                   this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(new QLabel(QStringLiteral("Чем звонить:"), this));
    m_input = new QComboBox(this);
    m_input->setObjectName(QStringLiteral("cbCalibrationInput"));
    m_input->setFocusPolicy(Qt::NoFocus);
    for (const Input& input : m_inputs) {
        const QString label = input.input.label();
        m_input->addItem(label.left(1).toUpper() + label.mid(1));
    }
    inputRow->addWidget(m_input, 1);
    layout->addLayout(inputRow);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblCalibrationStatus"));
    layout->addWidget(m_status);
    auto* buttons = new QHBoxLayout;
    m_start = new QPushButton(QStringLiteral("Начать"), this);
    m_save = new QPushButton(QStringLiteral("Сохранить"), this);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    m_save->setEnabled(false);
    // The keyboard belongs to the taps: no button takes Space or Enter.
    for (QPushButton* b : {m_start, m_save, cancel}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    setFocusPolicy(Qt::StrongFocus);
    connect(m_input, &QComboBox::activated, this, &CalibrationDialog::chooseInput);
    connect(m_start, &QPushButton::clicked, this, &CalibrationDialog::startClicks);
    connect(m_save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_poll.setInterval(5);
    m_poll.setTimerType(Qt::PreciseTimer);
    connect(&m_poll, &QTimer::timeout, this, &CalibrationDialog::observe);
    m_done.setSingleShot(true);
    connect(&m_done, &QTimer::timeout, this, &CalibrationDialog::evaluate);
    showCurrent();
}

double CalibrationDialog::offsetMs() const {
    return LatencyCalibration::toTenth(m_estimate.offsetMs);
}

StrikeInput CalibrationDialog::input() const {
    return m_inputs.value(m_input->currentIndex()).input;
}

void CalibrationDialog::chooseInput(int index) {
    if (m_listening || index < 0 || index >= m_inputs.size()) {
        return;
    }
    m_input->setCurrentIndex(index);
    // A measurement belongs to the input it was made with.
    m_estimate = {};
    m_save->setEnabled(false);
    showCurrent();
}

void CalibrationDialog::showCurrent() {
    m_status->setText(QStringLiteral("Текущая задержка: %1")
                          .arg(LatencyCalibration::caption(m_inputs.value(m_input->currentIndex()).offsetMs)));
}

void CalibrationDialog::observe() {
    m_keys.observe(KeyEventClock::steadyNowNs(), m_clock.frame());
}

void CalibrationDialog::startClicks() {
    m_clicksMs.clear();
    m_tapsMs.clear();
    m_estimate = {};
    m_save->setEnabled(false);
    m_start->setEnabled(false);
    m_poll.start();
    observe();
    const std::int64_t now = m_keys.frameAt(KeyEventClock::steadyNowNs());
    const std::int64_t rate = m_clock.sampleRate;
    for (int i = 0; i < kClicks; ++i) {
        const std::int64_t frame =
            now + (kFirstClickMs + static_cast<std::int64_t>(i) * kClickIntervalMs) * rate / 1000;
        m_clicksMs.push_back(static_cast<double>(frame) * 1000.0 / rate);
        if (m_clock.click) {
            m_clock.click(frame);
        }
    }
    m_listening = true;
    m_input->setEnabled(false);
    m_status->setText(QStringLiteral("Ударяйте в такт щелчкам ..."));
    setFocus();
    // The last tap may come the longest delay accepted after the last click.
    m_done.start(kFirstClickMs + (kClicks - 1) * kClickIntervalMs + LatencyCalibration::kMostOffsetMs + 300);
}

void CalibrationDialog::tap(std::uint64_t eventTime) {
    if (!m_listening || input().kind != StrikeInput::Kind::Keys) {
        return;
    }
    const std::int64_t now = KeyEventClock::steadyNowNs();
    m_keys.observe(now, m_clock.frame());
    const std::int64_t ms = m_eventTimes.toLocal(eventTime, KeyStrikeNotifier::steadyMilliseconds());
    tapAtFrame(m_keys.frameAt(KeyEventClock::momentOfMilliseconds(ms, now)));
}

void CalibrationDialog::inputTap(const StrikeInput& from, std::int64_t steadyNs) {
    if (!m_listening || !(from == input())) {
        return;
    }
    const std::int64_t now = KeyEventClock::steadyNowNs();
    m_keys.observe(now, m_clock.frame());
    tapAtFrame(m_keys.frameAt(std::min(steadyNs, now)));
}

void CalibrationDialog::tapAtFrame(std::int64_t frame) {
    m_tapsMs.push_back(static_cast<double>(frame) * 1000.0 / m_clock.sampleRate);
    m_status->setText(QStringLiteral("Ударов: %1").arg(m_tapsMs.size()));
}

void CalibrationDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        tap(event->timestamp());
    }
    event->accept();
}

void CalibrationDialog::mousePressEvent(QMouseEvent* event) {
    tap(event->timestamp());
    event->accept();
}

void CalibrationDialog::evaluate() {
    m_listening = false;
    m_poll.stop();
    m_input->setEnabled(true);
    m_start->setEnabled(true);
    m_start->setText(QStringLiteral("Еще раз"));
    m_estimate = LatencyCalibration::estimate(m_clicksMs, m_tapsMs);
    if (!m_estimate.valid) {
        m_status->setText(m_estimate.problem);
        return;
    }
    m_status->setText(QStringLiteral("Задержка: %1 (ударов учтено: %2, разброс ±%3 мс)")
                          .arg(LatencyCalibration::caption(offsetMs()))
                          .arg(m_estimate.usedTaps)
                          .arg(std::lround(m_estimate.spreadMs)));
    m_save->setEnabled(true);
}
