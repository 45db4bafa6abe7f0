#include "practice/EarTrainingDialog.h"

#include "base/FailureGuard.h"
#include "base/Logging.h"
#include "bells/Ensemble.h"
#include "input/KeyStrikeNotifier.h"
#include "input/KeyboardFocusGate.h"
#include "practice/PracticeHost.h"
#include "practice/PracticePart.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kHistoryShown = 20;
constexpr int kNextAfterMs = 1200;

// Milliseconds as the program's other texts write them: "12,5".
QString msText(double value) {
    return QString::number(value, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

// The last thresholds as a line, lower (finer hearing) further down.
class EarChart : public QWidget {
public:
    explicit EarChart(QWidget* parent) : QWidget(parent) { setMinimumSize(320, 90); }
    void setResults(QList<EarResult> results) {
        m_results = std::move(results);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().base());
        p.setPen(palette().mid().color());
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        if (m_results.isEmpty()) {
            return;
        }
        double most = 1.0;
        for (const EarResult& r : m_results) {
            most = std::max(most, r.thresholdMs);
        }
        const QRectF area = QRectF(rect()).adjusted(36, 8, -8, -8);
        p.setPen(palette().text().color());
        p.drawText(QRectF(2, area.top() - 6, 32, 14), Qt::AlignRight, QString::number(most, 'f', 0));
        p.drawText(QRectF(2, area.bottom() - 8, 32, 14), Qt::AlignRight, QStringLiteral("0"));
        const qsizetype n = m_results.size();
        QPolygonF line;
        for (qsizetype i = 0; i < n; ++i) {
            const double x = area.left() + (n == 1 ? area.width() / 2 : area.width() * i / (n - 1));
            line << QPointF(x, area.bottom() - area.height() * m_results.at(i).thresholdMs / most);
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().highlight().color(), 2));
        p.drawPolyline(line);
        for (const QPointF& point : line) {
            p.drawEllipse(point, 2.5, 2.5);
        }
    }

private:
    QList<EarResult> m_results;
};

} // namespace

EarTrainingDialog::EarTrainingDialog(PracticeHost& host, EarHistory& history, quint32 seed)
    : QDialog(host.dialogParent()), m_host(host), m_history(history), m_training(host, seed) {
    setWindowTitle(QStringLiteral("Тренировка слуха"));
    setObjectName(QStringLiteral("EarTrainingDialog"));
    // The bell keys answer which bell it was, and ring it as they always do.
    setProperty(kRingsBellsProperty, true);
    setMinimumWidth(560);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        (m_training.fromRinging() ? QStringLiteral("Два такта звона «%1».").arg(host.ringingName())
                                  : QStringLiteral("Звон не выбран: программа играет свой отрывок.")) +
            QStringLiteral(" Один удар одного колокола прозвучит раньше или позже. Какой колокол "
                           "и как? Колокол — кнопкой или его клавишей, затем «Рано» (↑) или «Поздно» (↓)."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* bells = new QGridLayout;
    int index = 0;
    for (int bell : m_training.bells()) {
        const QString key = host.bellKeyText(bell);
        auto* button = new QPushButton(PracticePart::ofBell(bell).caption() +
                                           (key.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(key)),
                                       this);
        button->setObjectName(QStringLiteral("btnEarBell%1").arg(kBellCount - bell));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, bell] { chooseBell(bell); });
        bells->addWidget(button, index / 5, index % 5);
        m_bellButtons.insert(bell, button);
        ++index;
    }
    layout->addLayout(bells);

    auto* ways = new QHBoxLayout;
    m_early = new QPushButton(QStringLiteral("Рано (↑)"), this);
    m_late = new QPushButton(QStringLiteral("Поздно (↓)"), this);
    m_replay = new QPushButton(QStringLiteral("Прослушать еще раз"), this);
    m_next = new QPushButton(QStringLiteral("Следующий"), this);
    for (QPushButton* b : {m_early, m_late, m_replay, m_next}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        ways->addWidget(b);
    }
    layout->addLayout(ways);

    m_amount = new QLabel(this);
    m_amount->setObjectName(QStringLiteral("lblEarAmount"));
    m_feedback = new QLabel(this);
    m_feedback->setObjectName(QStringLiteral("lblEarFeedback"));
    m_feedback->setWordWrap(true);
    m_threshold = new QLabel(this);
    m_threshold->setObjectName(QStringLiteral("lblEarThreshold"));
    layout->addWidget(m_amount);
    layout->addWidget(m_feedback);
    layout->addWidget(m_threshold);
    layout->addWidget(new QLabel(QStringLiteral("Ваши прошлые пороги:"), this));
    m_chart = new EarChart(this);
    m_chart->setObjectName(QStringLiteral("EarChart"));
    layout->addWidget(m_chart);
    m_trend = new QLabel(this);
    m_trend->setObjectName(QStringLiteral("lblEarTrend"));
    m_trend->setWordWrap(true); // a file's name may be long
    layout->addWidget(m_trend);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    buttons->button(QDialogButtonBox::Close)->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_early, &QPushButton::clicked, this, [this] { answerWay(false); });
    connect(m_late, &QPushButton::clicked, this, [this] { answerWay(true); });
    connect(m_replay, &QPushButton::clicked, this, [this] { m_training.replay(); });
    connect(m_next, &QPushButton::clicked, this, [this] { playNext(); });
    connect(&host.keyStrikeNotifier(), &KeyStrikeNotifier::bellStruck, this, [this](int bell, std::int64_t) {
        if (isActiveWindow() && m_bellButtons.contains(bell)) {
            chooseBell(bell);
        }
    });
    m_nextTimer.setSingleShot(true);
    connect(&m_nextTimer, &QTimer::timeout, this,
            [this] { guarded(lcPractice, "ear training next", [this] { playNext(); }); });

    showHistory();
    if (!m_training.ready()) {
        m_feedback->setText(QStringLiteral("Тренировка слуха невозможна без звука и выбранных колоколов."));
    } else {
        m_nextTimer.start(kNextAfterMs / 2);
    }
    showState();
}

void EarTrainingDialog::playNext() {
    m_nextTimer.stop();
    if (!m_training.ready()) {
        return;
    }
    m_chosenBell = -1;
    for (QPushButton* button : m_bellButtons) {
        button->setChecked(false);
    }
    m_training.playTrial();
    m_feedback->setText(QStringLiteral("Слушайте ..."));
    showState();
}

void EarTrainingDialog::chooseBell(int bell) {
    m_chosenBell = bell;
    for (auto it = m_bellButtons.cbegin(); it != m_bellButtons.cend(); ++it) {
        it.value()->setChecked(it.key() == bell);
    }
    showState();
}

void EarTrainingDialog::answerWay(bool late) {
    if (m_training.answered() || m_chosenBell < 0) {
        return;
    }
    const EarTrial trial = m_training.trial();
    const bool right = m_training.answer(m_chosenBell, late);
    const QString truth = QStringLiteral("%1 ударил на %2 мс %3.")
                              .arg(PracticePart::ofBell(trial.bell).caption())
                              .arg(msText(std::abs(trial.offsetMs)))
                              .arg(trial.late ? QStringLiteral("позже") : QStringLiteral("раньше"));
    m_feedback->setText((right ? QStringLiteral("Верно! ") : QStringLiteral("Неверно. ")) + truth);
    Staircase& staircase = m_training.staircase();
    if (staircase.finished()) {
        const EarResult result{QDateTime::currentDateTime(), staircase.thresholdMs(), staircase.trials()};
        if (!m_history.append(result)) {
            m_feedback->setText(m_feedback->text() + QStringLiteral(" Результат не удалось сохранить."));
        }
        m_feedback->setText(m_feedback->text() + QStringLiteral(" Ваш порог: %1 мс. Нажмите «Следующий», "
                                                                "чтобы начать снова.")
                                                     .arg(msText(result.thresholdMs)));
        m_training.restart();
        showHistory();
    } else {
        m_nextTimer.start(kNextAfterMs);
    }
    showState();
}

void EarTrainingDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        answerWay(event->key() == Qt::Key_Down);
        return;
    }
    QDialog::keyPressEvent(event);
}

void EarTrainingDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    keepEverythingShown();
}

void EarTrainingDialog::keepEverythingShown() {
    // The wrapped texts need more lines in a narrower dialog, and the
    // window's own minimum does not know it: without this the chart and
    // the line under it are pressed onto each other.
    const int needed = layout()->totalHeightForWidth(width());
    if (needed > 0 && needed != minimumHeight()) {
        setMinimumHeight(needed);
    }
}

void EarTrainingDialog::hideEvent(QHideEvent* event) {
    // A question is not heard on behind the closed dialog.
    m_nextTimer.stop();
    m_training.silence();
    QDialog::hideEvent(event);
}

void EarTrainingDialog::showState() {
    const bool asking = m_training.ready() && !m_training.answered();
    m_early->setEnabled(asking && m_chosenBell >= 0);
    m_late->setEnabled(asking && m_chosenBell >= 0);
    m_replay->setEnabled(m_training.ready() && !m_training.trial().strikes.isEmpty());
    m_next->setEnabled(m_training.ready());
    Staircase& staircase = m_training.staircase();
    m_amount->setText(QStringLiteral("Сдвиг: %1 мс").arg(msText(staircase.amountMs())));
    m_threshold->setText(staircase.reversals() > Staircase::kSkippedReversals
                             ? QStringLiteral("Ваш порог сейчас: около %1 мс (ответов: %2)")
                                   .arg(msText(staircase.thresholdMs()))
                                   .arg(staircase.trials())
                             : QStringLiteral("Порог еще ищется (ответов: %1)").arg(staircase.trials()));
    keepEverythingShown();
}

void EarTrainingDialog::showHistory() {
    const QList<EarResult> results = m_history.last(kHistoryShown);
    static_cast<EarChart*>(m_chart)->setResults(results);
    m_trend->setText(
        m_history.unreadable()
            ? QStringLiteral("Прошлые пороги не удалось прочитать: файл %1 недоступен.").arg(m_history.path())
            : earTrendText(results));
}
