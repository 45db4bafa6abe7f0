#include "practice/TrainingCharts.h"

#include "practice/MarksOverlay.h"
#include "practice/StrikeMarks.h"

#include <QMouseEvent>
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
    setMinimumSize(320, 170);
}

void ProgressChartView::setRuns(const QList<TrainingRun>& runs, const QString& message) {
    m_runs = runs;
    m_series = progressSeries(runs, kMostLines);
    m_message = message;
    m_points.clear();
    update();
}

int ProgressChartView::runAt(const QPointF& position) const {
    constexpr double kReach = 6.0;
    int nearest = -1;
    double best = kReach * kReach;
    for (const auto& [point, run] : m_points) {
        const QPointF d = point - position;
        const double distance = d.x() * d.x() + d.y() * d.y();
        if (distance <= best) {
            best = distance;
            nearest = run;
        }
    }
    return nearest;
}

void ProgressChartView::mousePressEvent(QMouseEvent* event) {
    const int run = runAt(event->position());
    if (run >= 0) {
        emit runClicked(run);
    }
    QWidget::mousePressEvent(event);
}

void ProgressChartView::paintEvent(QPaintEvent*) {
    static const QColor kLineColours[kMostLines] = {QColor(0, 110, 210), QColor(210, 20, 20),
                                                    QColor(0, 150, 60), QColor(150, 70, 200)};
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    m_points.clear();
    const QFontMetrics metrics(font());
    const int legendHeight = static_cast<int>(m_series.size()) * metrics.height();
    const QRect area = plotArea(*this).adjusted(0, 0, 0, -legendHeight);
    painter.setPen(palette().text().color());
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawText(2, area.top() + metrics.ascent(), QStringLiteral("100%"));
    painter.drawText(2, area.bottom(), QStringLiteral("0%"));
    if (m_series.isEmpty()) {
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap,
                         m_message.isEmpty() ? QStringLiteral("Пока нет тренировок этого звона") : m_message);
        return;
    }
    // The runs drawn, evenly along the axis in the order they were rung.
    QList<int> shown;
    for (const ProgressSeries& line : m_series) {
        shown << line.runs;
    }
    std::sort(shown.begin(), shown.end());
    const double step = static_cast<double>(area.width()) / shown.size();
    const auto xOf = [&](int run) {
        return area.left() + (std::lower_bound(shown.begin(), shown.end(), run) - shown.begin() + 0.5) * step;
    };
    // A dotted line where a day ends, so that the runs of each day stand together.
    painter.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
    for (int i = 1; i < shown.size(); ++i) {
        if (m_runs[shown[i]].date.date() != m_runs[shown[i - 1]].date.date()) {
            const double x = area.left() + i * step;
            painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        }
    }
    // The line of the last run is drawn last, over the others, and bolder.
    for (int k = static_cast<int>(m_series.size()) - 1; k >= 0; --k) {
        const ProgressSeries& line = m_series[k];
        QPolygonF points;
        for (int run : line.runs) {
            const double share = std::clamp(m_runs[run].shareOnTime, 0.0, 1.0);
            points << QPointF(xOf(run), area.bottom() - share * area.height());
            m_points.emplace_back(points.back(), run);
        }
        painter.setPen(QPen(kLineColours[k], k == 0 ? 2.5 : 1.5));
        painter.setBrush(kLineColours[k]);
        painter.drawPolyline(points);
        for (const QPointF& point : points) {
            painter.drawEllipse(point, 2.5, 2.5);
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(palette().text().color());
    QList<TrainingRun> shownRuns;
    for (int run : shown) {
        shownRuns << m_runs[run];
    }
    const QString format = runsShareADay(shownRuns) ? QStringLiteral("dd.MM HH:mm") : QStringLiteral("dd.MM");
    const QString first = shownRuns.first().date.toString(format);
    const QString last = shownRuns.last().date.toString(format);
    const int labels = area.bottom() + metrics.height();
    painter.drawText(area.left(), labels, first);
    if (shown.size() > 1) {
        painter.drawText(area.right() - metrics.horizontalAdvance(last), labels, last);
    }
    for (int k = 0; k < m_series.size(); ++k) {
        const int baseline = labels + (k + 1) * metrics.height();
        const int middle = baseline - metrics.ascent() / 2;
        painter.setPen(QPen(kLineColours[k], k == 0 ? 2.5 : 1.5));
        painter.drawLine(area.left(), middle, area.left() + 18, middle);
        painter.setPen(palette().text().color());
        painter.drawText(area.left() + 24, baseline, m_series[k].caption());
    }
}
