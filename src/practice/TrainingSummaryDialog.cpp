#include "practice/TrainingSummaryDialog.h"

#include "input/KeyboardFocusGate.h"
#include "playback/TransportText.h"
#include "practice/TrainingCharts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString ms(double value) {
    return QString::number(value, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

QString barsText(const QList<int>& bars) {
    QStringList numbers;
    for (int bar : bars) {
        numbers << QString::number(bar + 1);
    }
    if (numbers.isEmpty()) {
        return QString();
    }
    return (numbers.size() == 1 ? QStringLiteral("такт ") : QStringLiteral("такты ")) +
           numbers.join(QStringLiteral(" и "));
}

TrainingSummaryDialog::TrainingSummaryDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Итоги тренировки"));
    setObjectName(QStringLiteral("TrainingSummaryDialog"));
    auto* layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    layout->addWidget(m_title);
    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("lblTrainingFigures"));
    layout->addWidget(m_figures);

    auto* charts = new QGridLayout;
    charts->addWidget(new QLabel(QStringLiteral("Ошибки ударов:"), this), 0, 0);
    charts->addWidget(new QLabel(QStringLiteral("Последние тренировки этого звона:"), this), 0, 1);
    m_histogram = new ErrorHistogramView(this);
    m_progress = new ProgressChartView(this);
    charts->addWidget(m_histogram, 1, 0);
    charts->addWidget(m_progress, 1, 1);
    layout->addLayout(charts, 1);

    m_worst = new QLabel(this);
    m_worst->setObjectName(QStringLiteral("lblTrainingWorstBars"));
    layout->addWidget(m_worst);
    m_drill = new QLabel(this);
    m_drill->setObjectName(QStringLiteral("lblTrainingDrill"));
    m_drill->setWordWrap(true);
    layout->addWidget(m_drill);

    auto* buttons = new QHBoxLayout;
    m_repeat = new QPushButton(QStringLiteral("Повторить трудные такты"), this);
    m_repeat->setObjectName(QStringLiteral("btnRepeatHardBars"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_repeat);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_repeat, &QPushButton::clicked, this, &TrainingSummaryDialog::repeatHardBarsRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void TrainingSummaryDialog::showRun(const TrainingStats& stats, const TrainingRun& run,
                                    const QString& partCaption, const QList<TrainingRun>& progress,
                                    const QString& storeProblem, bool historyUnreadable) {
    m_title->setText(
        QStringLiteral("%1: %2, %3").arg(run.ringing, partCaption, transport::tempoCaption(run.interval)));
    // Without a hit there is no error to average, early or late.
    QString figures =
        stats.hits > 0
            ? QStringLiteral("Средняя ошибка: %1 мс (%2)\nРазброс (стандартное отклонение): %3 мс\n")
                  .arg(ms(stats.meanMs),
                       stats.meanMs < 0 ? QStringLiteral("раньше") : QStringLiteral("позже"),
                       ms(stats.deviationMs))
            : QStringLiteral("Ни одного попадания: средней ошибки нет.\n");
    figures += QStringLiteral("В пределах 20 мс: %1%\nПопаданий: %2, пропущено: %3, лишних ударов: %4")
                   .arg(std::lround(stats.shareOnTime * 100.0))
                   .arg(stats.hits)
                   .arg(stats.misses)
                   .arg(stats.extras);
    if (!storeProblem.isEmpty()) {
        figures += QStringLiteral("\nИстория тренировок не сохранена: %1.").arg(storeProblem);
    }
    m_figures->setText(figures);
    m_histogram->setHistogram(stats.histogram);
    m_progress->setRuns(
        progress, historyUnreadable ? QStringLiteral("Историю тренировок не удалось прочитать") : QString());
    if (stats.barsAlike) {
        m_worst->setText(QStringLiteral("Все такты получились одинаково (ошибка около %1 мс): "
                                        "трудных среди них нет.")
                             .arg(std::lround(stats.barErrorMs)));
    } else {
        m_worst->setText(stats.worstBars.isEmpty() ? QStringLiteral("Трудных тактов нет.")
                                                   : QStringLiteral("Самые трудные: ") +
                                                         barsText(stats.worstBars) + QLatin1Char('.'));
    }
    m_hardBars = !stats.worstBars.isEmpty();
    m_repeat->setEnabled(m_hardBars);
    m_drill->clear();
}

void TrainingSummaryDialog::showDrillStart(const QList<int>& bars, int tempoPercent) {
    m_repeat->setEnabled(false);
    m_drill->setText(QStringLiteral("Повторяем %1 в темпе %2%.").arg(barsText(bars)).arg(tempoPercent));
    setProperty(kRingsBellsProperty, true);
    // The button just pressed is disabled; the focus must not pass on to
    // "Закрыть", where a key that rings no bell would end the drill.
    setFocus();
}

void TrainingSummaryDialog::showDrillPass(int tempoPercent, double errorMs, HardBarsDrill::Step step) {
    QString text = QStringLiteral("Ошибка в трудных тактах: %1 мс. ").arg(ms(errorMs));
    switch (step) {
    case HardBarsDrill::Step::Again:
        text += QStringLiteral("Еще раз в темпе %1%.").arg(tempoPercent);
        break;
    case HardBarsDrill::Step::Faster:
        text += QStringLiteral("Хорошо! Темп %1%.").arg(tempoPercent);
        break;
    case HardBarsDrill::Step::Done:
        text += QStringLiteral("Такты получаются в полном темпе.");
        break;
    }
    m_drill->setText(text);
}

void TrainingSummaryDialog::showDrillEnd(bool done) {
    setProperty(kRingsBellsProperty, false);
    m_repeat->setEnabled(m_hardBars);
    if (!done) {
        m_drill->setText(QStringLiteral("Повторение трудных тактов остановлено."));
    }
}

QString TrainingSummaryDialog::figuresText() const {
    return m_figures->text();
}

QString TrainingSummaryDialog::drillText() const {
    return m_drill->text();
}

void TrainingSummaryDialog::showNote(const QString& text) {
    m_drill->setText(text);
}
