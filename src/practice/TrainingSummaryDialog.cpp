#include "practice/TrainingSummaryDialog.h"

#include "input/KeyboardFocusGate.h"
#include "playback/TransportText.h"
#include "practice/BellFigures.h"
#include "practice/ErrorTimelineView.h"
#include "practice/PracticeHost.h"
#include "practice/RunReplay.h"
#include "practice/TrainingCharts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
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
    // The figures of the run beside those of each bell.
    auto* figures = new QHBoxLayout;
    figures->addWidget(m_figures, 0, Qt::AlignTop);
    m_bellTable = new QTableWidget(0, 5, this);
    m_bellTable->setObjectName(QStringLiteral("tblTrainingBells"));
    m_bellTable->setHorizontalHeaderLabels({QStringLiteral("Колокол"), QStringLiteral("Средняя, мс"),
                                            QStringLiteral("Разброс, мс"), QStringLiteral("До 20 мс"),
                                            QStringLiteral("Пропуски / лишние")});
    m_bellTable->horizontalHeaderItem(3)->setToolTip(QStringLiteral("Доля ударов колокола в пределах 20 мс"));
    m_bellTable->verticalHeader()->hide();
    m_bellTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_bellTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_bellTable->setFocusPolicy(Qt::NoFocus);
    m_bellTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_bellTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_bellTable->horizontalHeader()->setStretchLastSection(true);
    m_bellTable->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    figures->addWidget(m_bellTable, 1, Qt::AlignTop);
    layout->addLayout(figures);
    // Under both, wrapped: a long reason must not squeeze the table.
    m_storeProblem = new QLabel(this);
    m_storeProblem->setObjectName(QStringLiteral("lblTrainingStoreProblem"));
    m_storeProblem->setWordWrap(true);
    m_storeProblem->hide();
    layout->addWidget(m_storeProblem);

    auto* charts = new QGridLayout;
    charts->addWidget(new QLabel(QStringLiteral("Ошибки ударов:"), this), 0, 0);
    charts->addWidget(new QLabel(QStringLiteral("Последние тренировки этого звона:"), this), 0, 1);
    m_histogram = new ErrorHistogramView(this);
    m_progress = new ProgressChartView(this);
    charts->addWidget(m_histogram, 1, 0);
    charts->addWidget(m_progress, 1, 1);
    charts->addWidget(new QLabel(QStringLiteral("Ошибка каждого удара по ходу тренировки:"), this), 2, 0, 1,
                      2);
    m_timeline = new ErrorTimelineView(this);
    charts->addWidget(m_timeline, 3, 0, 1, 2);
    charts->setRowStretch(1, 2);
    charts->setRowStretch(3, 3);
    layout->addLayout(charts, 1);

    m_worst = new QLabel(this);
    m_worst->setObjectName(QStringLiteral("lblTrainingWorstBars"));
    layout->addWidget(m_worst);
    m_drill = new QLabel(this);
    m_drill->setObjectName(QStringLiteral("lblTrainingDrill"));
    m_drill->setWordWrap(true);
    layout->addWidget(m_drill);

    m_replayNote = new QLabel(this);
    m_replayNote->setObjectName(QStringLiteral("lblTrainingReplay"));
    m_replayNote->setWordWrap(true);
    layout->addWidget(m_replayNote);

    auto* buttons = new QHBoxLayout;
    m_listen = new QPushButton(QStringLiteral("Прослушать"), this);
    m_listen->setObjectName(QStringLiteral("btnTrainingListen"));
    m_listen->setEnabled(false);
    m_asWritten = new QCheckBox(QStringLiteral("Как написано"), this);
    m_asWritten->setObjectName(QStringLiteral("chkTrainingAsWritten"));
    m_asWritten->setToolTip(QStringLiteral("Прослушать тот же отрывок так, как он записан в партитуре"));
    buttons->addWidget(m_listen);
    buttons->addWidget(m_asWritten);
    m_repeat = new QPushButton(QStringLiteral("Повторить трудные такты"), this);
    m_repeat->setObjectName(QStringLiteral("btnRepeatHardBars"));
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    buttons->addStretch(1);
    buttons->addWidget(m_repeat);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(m_repeat, &QPushButton::clicked, this, &TrainingSummaryDialog::repeatHardBarsRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(m_listen, &QPushButton::clicked, this, &TrainingSummaryDialog::listen);
    connect(m_progress, &ProgressChartView::runClicked, this, &TrainingSummaryDialog::listenToEarlierRun);
}

void TrainingSummaryDialog::hideEvent(QHideEvent* event) {
    // Nothing plays on behind a closed summary, nor into the next run.
    if (m_replay) {
        m_replay->stop();
    }
    QDialog::hideEvent(event);
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
    m_figures->setText(figures);
    m_storeProblem->setText(storeProblem.isEmpty()
                                ? QString()
                                : QStringLiteral("История тренировок не сохранена: %1.").arg(storeProblem));
    m_storeProblem->setVisible(!storeProblem.isEmpty());
    m_histogram->setHistogram(stats.histogram);
    m_progressRuns = progress;
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
    return m_storeProblem->text().isEmpty() ? m_figures->text()
                                            : m_figures->text() + QLatin1Char('\n') + m_storeProblem->text();
}

QString TrainingSummaryDialog::drillText() const {
    return m_drill->text();
}

void TrainingSummaryDialog::showNote(const QString& text) {
    m_drill->setText(text);
}

namespace {

QTableWidgetItem* cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

} // namespace

void TrainingSummaryDialog::showStrikes(PracticeHost& host, const QList<StrikeOutcome>& outcomes,
                                        const RunRecording& recording, std::int64_t columnFrames) {
    if (m_host != &host) {
        delete m_replay;
        m_host = &host;
        m_replay = new RunReplay(host, this);
        connect(m_replay, &RunReplay::finished, this, &TrainingSummaryDialog::replayFinished);
    }
    m_replay->stop();
    m_recording = recording;
    const QList<BellFigures> byBell = figuresByBell(outcomes);
    QList<ErrorTimelineView::BellLabel> labels;
    m_bellTable->setRowCount(static_cast<int>(byBell.size()));
    for (int row = 0; row < byBell.size(); ++row) {
        const BellFigures& figures = byBell[row];
        const QString key = host.bellKeyName(figures.bell);
        const QString name = key.isEmpty() ? host.bellName(figures.bell)
                                           : QStringLiteral("%1: %2").arg(key, host.bellName(figures.bell));
        labels << ErrorTimelineView::BellLabel{figures.bell, name};
        auto* nameCell = new QTableWidgetItem(name);
        nameCell->setForeground(ErrorTimelineView::colourOfBell(row));
        m_bellTable->setItem(row, 0, nameCell);
        const bool hits = figures.hits > 0;
        m_bellTable->setItem(row, 1, cell(hits ? ms(figures.meanMs) : QStringLiteral("—")));
        m_bellTable->setItem(row, 2, cell(hits ? ms(figures.deviationMs) : QStringLiteral("—")));
        m_bellTable->setItem(row, 3,
                             cell(QStringLiteral("%1%").arg(std::lround(figures.shareOnTime * 100.0))));
        m_bellTable->setItem(row, 4, cell(QStringLiteral("%1 / %2").arg(figures.misses).arg(figures.extras)));
    }
    // As tall as its rows: a bell or a group of a few.
    m_bellTable->resizeRowsToContents();
    int height = m_bellTable->horizontalHeader()->height() + 2 * m_bellTable->frameWidth();
    for (int row = 0; row < m_bellTable->rowCount(); ++row) {
        height += m_bellTable->rowHeight(row);
    }
    m_bellTable->setFixedHeight(height);
    // As wide as its columns need, the header's texts included: the
    // figures beside it take the rest (the last column stretches into it).
    const QAbstractItemView& view = *m_bellTable; // its column hint is public there
    int width = 2 * m_bellTable->frameWidth();
    for (int column = 0; column < m_bellTable->columnCount(); ++column) {
        width += std::max(m_bellTable->horizontalHeader()->sectionSizeHint(column),
                          view.sizeHintForColumn(column));
    }
    m_bellTable->setMinimumWidth(width);
    m_timeline->setTimeline(errorTimeline(outcomes, host.audioSampleRate(), columnFrames), labels);
    m_listen->setEnabled(!recording.isEmpty() && host.soundAvailable());
    m_listen->setText(QStringLiteral("Прослушать"));
    m_replayNote->setText(m_progressRuns.size() > 1
                              ? QStringLiteral("Щелчок по точке прогресса проигрывает ту тренировку.")
                              : QString());
}

void TrainingSummaryDialog::listen() {
    if (m_replay && m_replay->isPlaying()) {
        m_replay->stop();
        return;
    }
    startReplay(m_recording, QStringLiteral("эта тренировка"));
}

void TrainingSummaryDialog::listenToEarlierRun(int progressIndex) {
    if (!m_replay || progressIndex < 0 || progressIndex >= m_progressRuns.size()) {
        return;
    }
    const TrainingRun& run = m_progressRuns[progressIndex];
    const QString when = run.date.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    RunRecording recording;
    if (run.recording.isEmpty() ||
        !RunRecording::decode(run.recording, m_host->audioSampleRate(), recording)) {
        m_replayNote->setText(
            QStringLiteral("Удары тренировки %1 не сохранены: прослушать ее нельзя.").arg(when));
        return;
    }
    // The columns are heard from the loaded score.
    if (m_host->ringingName() != run.ringing) {
        m_replayNote->setText(
            QStringLiteral("Чтобы прослушать тренировку %1, загрузите звон «%2».").arg(when, run.ringing));
        return;
    }
    startReplay(recording, QStringLiteral("тренировка %1").arg(when));
}

void TrainingSummaryDialog::startReplay(const RunRecording& recording, const QString& what) {
    const ReplayMode mode = m_asWritten->isChecked() ? ReplayMode::AsWritten : ReplayMode::AsRung;
    if (!m_replay || !m_replay->play(recording, mode)) {
        m_replayNote->setText(QStringLiteral("Прослушать нечего: нет звука или ударов."));
        return;
    }
    if (m_replay->isPlaying()) {
        m_listen->setText(QStringLiteral("Остановить"));
    }
    m_replayNote->setText(QStringLiteral("Звучит %1, %2.")
                              .arg(what, mode == ReplayMode::AsWritten ? QStringLiteral("как написано")
                                                                       : QStringLiteral("как сыграна")));
}

void TrainingSummaryDialog::replayFinished() {
    m_listen->setText(QStringLiteral("Прослушать"));
    m_listen->setEnabled(!m_recording.isEmpty());
}

QString TrainingSummaryDialog::replayText() const {
    return m_replayNote->text();
}
