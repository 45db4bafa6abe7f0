// The practice dialogs at the size a user can shrink them to: no text cuts
// into another or into a chart, and the figures by bell keep every column.

#include "practice/EarHistory.h"
#include "practice/EarTrainingDialog.h"
#include "practice/TrainingSummaryDialog.h"
#include "support/TestProgram.h"

#include "FakePracticeHost.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DialogLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ensureQtApplication();
        host.bells.applyText(QStringLiteral("011011000000000"), QStringLiteral("nbbnssnnnnnnnnn"));
    }
    // As small as the window lets the user make it.
    static void shrink(QWidget& dialog) {
        dialog.show();
        QApplication::processEvents();
        dialog.resize(1, 1);
        QApplication::processEvents();
    }

    QTemporaryDir m_dir;
    FakePracticeHost host{m_dir.filePath(QStringLiteral("campanix.ini"))};
};

} // namespace

// The line of the trend stands under its chart, not over it, and the chart
// keeps its height; so do the buttons above.
TEST_F(DialogLayout, EarTrainingTrendStaysUnderItsChart) {
    EarHistory history(m_dir.filePath(QStringLiteral("ear.txt")));
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(history.append({QDateTime::currentDateTime(), 5.0 + (i * 7) % 30, 30}));
    }
    EarTrainingDialog dialog(host, history, 3);
    shrink(dialog);
    const QWidget* chart = dialog.findChild<QWidget*>(QStringLiteral("EarChart"));
    const QLabel* trend = dialog.findChild<QLabel*>(QStringLiteral("lblEarTrend"));
    ASSERT_TRUE(chart && trend);
    EXPECT_FALSE(trend->text().isEmpty());
    EXPECT_GE(chart->height(), chart->minimumHeight());
    EXPECT_GE(trend->geometry().top(), chart->geometry().bottom());
    EXPECT_GE(trend->height(), trend->heightForWidth(trend->width()));
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->wordWrap() && label->isVisible()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
        }
    }
}

// A long reason the history was not kept wraps under the figures and the
// table; every column of the table keeps at least the width of its header.
TEST_F(DialogLayout, SummaryKeepsEveryColumnOfTheBellTable) {
    TrainingSummaryDialog summary(nullptr);
    TrainingStats stats;
    stats.hits = 10;
    stats.misses = 3;
    stats.extras = 1;
    TrainingRun run;
    run.ringing = QStringLiteral("Звон");
    run.interval = 144;
    summary.showRun(stats, run, QStringLiteral("Малые колокола"), {},
                    QStringLiteral("не удалось дописать файл /home/user/.local/share/campanix/"
                                   "training-history.txt: на устройстве не осталось свободного места"),
                    false);
    QList<StrikeOutcome> outcomes;
    for (int bell = 10; bell < 15; ++bell) {
        StrikeOutcome outcome;
        outcome.bell = bell;
        outcome.errorMs = 5;
        outcomes << outcome;
    }
    summary.showStrikes(host, outcomes, RunRecording{}, 4800);
    shrink(summary);
    EXPECT_TRUE(summary.figuresText().contains(QStringLiteral("История тренировок не сохранена")));
    const QTableWidget* table = summary.bellTable();
    ASSERT_EQ(table->rowCount(), 5);
    int used = 0;
    for (int column = 0; column < table->columnCount(); ++column) {
        EXPECT_GE(table->horizontalHeader()->sectionSize(column),
                  table->horizontalHeader()->sectionSizeHint(column))
            << table->horizontalHeaderItem(column)->text().toStdString();
        used += table->horizontalHeader()->sectionSize(column);
    }
    EXPECT_LE(used, table->viewport()->width());
}
