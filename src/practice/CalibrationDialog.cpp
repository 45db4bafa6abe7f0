#include "practice/CalibrationDialog.h"

#include "input/KeyStrikeNotifier.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr int kFirstClickMs = 400;
} // namespace

CalibrationDialog::CalibrationDialog(QWidget* parent, Clock clock, int currentOffsetMs)
    : QDialog(parent), m_clock(std::move(clock)), m_keys(m_clock.sampleRate) {
    setWindowTitle(QStringLiteral("Калибровка задержки"));
    setObjectName(QStringLiteral("CalibrationDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* text =
        new QLabel(QStringLiteral("Нажмите «Начать» и ударяйте по любой клавише (или щелкайте мышью) "
                                  "точно в такт щелчкам: %1 щелчков. Программа измерит задержку "
                                  "звука и вашу привычку ударять раньше или позже и будет вычитать "
                                  "ее из всех ошибок.")
                       .arg(kClicks),
                   this);
    text->setWordWrap(true);
    layout->addWidget(text);
    m_status = new QLabel(QStringLiteral("Текущая задержка: %1 мс").arg(currentOffsetMs), this);
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
    connect(m_start, &QPushButton::clicked, this, &CalibrationDialog::startClicks);
    connect(m_save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_poll.setInterval(5);
    m_poll.setTimerType(Qt::PreciseTimer);
    connect(&m_poll, &QTimer::timeout, this, &CalibrationDialog::observe);
    m_done.setSingleShot(true);
    connect(&m_done, &QTimer::timeout, this, &CalibrationDialog::evaluate);
}

int CalibrationDialog::offsetMs() const {
    return static_cast<int>(std::lround(m_estimate.offsetMs));
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
    m_status->setText(QStringLiteral("Ударяйте в такт щелчкам ..."));
    setFocus();
    // The last tap may come the longest delay accepted after the last click.
    m_done.start(kFirstClickMs + (kClicks - 1) * kClickIntervalMs + LatencyCalibration::kMostOffsetMs + 300);
}

void CalibrationDialog::tap(std::uint64_t eventTime) {
    if (!m_listening) {
        return;
    }
    const std::int64_t now = KeyEventClock::steadyNowNs();
    m_keys.observe(now, m_clock.frame());
    const std::int64_t ms = m_eventTimes.toLocal(eventTime, KeyStrikeNotifier::steadyMilliseconds());
    const std::int64_t frame = m_keys.frameAt(KeyEventClock::momentOfMilliseconds(ms, now));
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
    m_start->setEnabled(true);
    m_start->setText(QStringLiteral("Еще раз"));
    m_estimate = LatencyCalibration::estimate(m_clicksMs, m_tapsMs);
    if (!m_estimate.valid) {
        m_status->setText(m_estimate.problem);
        return;
    }
    m_status->setText(QStringLiteral("Задержка: %1 мс (ударов учтено: %2, разброс ±%3 мс)")
                          .arg(offsetMs())
                          .arg(m_estimate.usedTaps)
                          .arg(std::lround(m_estimate.spreadMs)));
    m_save->setEnabled(true);
}
