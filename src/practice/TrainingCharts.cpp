#include "practice/TrainingCharts.h"

#include "practice/MarksOverlay.h"
#include "practice/StrikeMarks.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kMargin = 28;

QRect plotArea(const QWidget& widget) {
    return widget.rect().adjusted(kMargin + 8, 10, -kMargin, -kMargin);
}

} // namespace

ErrorHistogramView::ErrorHistogramView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ErrorHistogramView"));
    setMinimumSize(320, 140);
}

void ErrorHistogramView::setHistogram(const std::array<int, TrainingStats::kBins>& bins) {
    m_bins = bins;
    update();
}

void ErrorHistogramView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QRect area = plotArea(*this);
    const int most = std::max(1, *std::max_element(m_bins.begin(), m_bins.end()));
    const double width = static_cast<double>(area.width()) / TrainingStats::kBins;
    for (int i = 0; i < TrainingStats::kBins; ++i) {
        const double centre = -TrainingStats::kHistogramMs + (i + 0.5) * TrainingStats::kBinMs;
        StrikeOutcome probe;
        probe.errorMs = centre;
        const double height = static_cast<double>(m_bins[static_cast<size_t>(i)]) * area.height() / most;
        const QRectF bar(area.left() + i * width + 1, area.bottom() - height, width - 2, height);
        painter.fillRect(bar, MarksOverlay::colourOf(markKindOf(probe)));
    }
    painter.setPen(palette().text().color());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    const int middle = area.left() + area.width() / 2;
    painter.setPen(QPen(palette().text().color(), 1, Qt::DashLine));
    painter.drawLine(middle, area.top(), middle, area.bottom());
    painter.setPen(palette().text().color());
    const QFontMetrics metrics(font());
    for (int ms = -100; ms <= 100; ms += 50) {
        const int x = area.left() + static_cast<int>((ms + 100) / 200.0 * area.width());
        const QString label = QString::number(ms);
        painter.drawText(x - metrics.horizontalAdvance(label) / 2, area.bottom() + metrics.height(), label);
    }
    painter.drawText(area.left(), area.bottom() + 2 * metrics.height() - 2, QStringLiteral("раньше"));
    const QString late = QStringLiteral("позже, мс");
    painter.drawText(area.right() - metrics.horizontalAdvance(late), area.bottom() + 2 * metrics.height() - 2,
                     late);
    painter.drawText(2, area.top() + metrics.ascent(), QString::number(most));
}

ProgressChartView::ProgressChartView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ProgressChartView"));
    setMinimumSize(320, 140);
}

void ProgressChartView::setRuns(const QList<TrainingRun>& runs) {
    m_runs = runs;
    update();
}

void ProgressChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QRect area = plotArea(*this);
    const QFontMetrics metrics(font());
    painter.setPen(palette().text().color());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawText(2, area.top() + metrics.ascent(), QStringLiteral("100%"));
    painter.drawText(2, area.bottom(), QStringLiteral("0%"));
    if (m_runs.isEmpty()) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Пока нет тренировок этого звона"));
        return;
    }
    const double step = static_cast<double>(area.width()) / m_runs.size();
    double worstDistance = 50.0;
    for (const TrainingRun& run : m_runs) {
        worstDistance = std::max(worstDistance, run.meanAbsoluteMs);
    }
    QList<QPolygonF> lines(1);
    for (int i = 0; i < m_runs.size(); ++i) {
        const TrainingRun& run = m_runs[i];
        const double height = std::clamp(run.shareOnTime, 0.0, 1.0) * area.height();
        const QRectF bar(area.left() + i * step + step * 0.2, area.bottom() - height, step * 0.6, height);
        painter.fillRect(bar, QColor(0, 160, 60, 170));
        // A run without a hit has no distance from the beat: no point, and the line breaks.
        if (run.hits == 0 && run.shareOnTime <= 0.0) {
            lines << QPolygonF();
            continue;
        }
        lines.last() << QPointF(bar.center().x(),
                                area.bottom() - run.meanAbsoluteMs / worstDistance * area.height());
    }
    painter.setPen(QPen(QColor(210, 20, 20), 2));
    for (const QPolygonF& line : lines) {
        painter.drawPolyline(line);
        for (const QPointF& point : line) {
            painter.drawEllipse(point, 2.5, 2.5);
        }
    }
    painter.setPen(palette().text().color());
    const QString first = m_runs.first().date.toString(QStringLiteral("dd.MM"));
    const QString last = m_runs.last().date.toString(QStringLiteral("dd.MM"));
    painter.drawText(area.left(), area.bottom() + metrics.height(), first);
    painter.drawText(area.right() - metrics.horizontalAdvance(last), area.bottom() + metrics.height(), last);
    const QString scale = QStringLiteral("%1 мс").arg(std::lround(worstDistance));
    painter.setPen(QColor(210, 20, 20));
    painter.drawText(area.right() - metrics.horizontalAdvance(scale), area.top() + metrics.ascent(), scale);
}
