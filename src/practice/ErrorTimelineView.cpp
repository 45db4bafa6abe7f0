#include "practice/ErrorTimelineView.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLeft = 40;
constexpr int kRight = 10;
constexpr int kTop = 8;
// Bar numbers closer than this are left out, every n-th one kept.
constexpr int kLeastLabelGap = 26;

} // namespace

ErrorTimelineView::ErrorTimelineView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ErrorTimelineView"));
    setMinimumSize(360, 170);
}

QColor ErrorTimelineView::colourOfBell(int index) {
    static const QColor kColours[] = {QColor(0, 110, 210),  QColor(210, 90, 0),   QColor(0, 150, 60),
                                      QColor(150, 70, 200), QColor(200, 30, 120), QColor(90, 90, 90)};
    return kColours[index % 6];
}

void ErrorTimelineView::setTimeline(const ErrorTimeline& timeline, const QList<BellLabel>& bells) {
    m_timeline = timeline;
    m_bells = bells;
    update();
}

void ErrorTimelineView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics(font());
    // The legend flows along under the chart, as many rows as it takes.
    const auto itemWidth = [&](int k) { return 24 + metrics.horizontalAdvance(m_bells[k].text) + 14; };
    QList<QPoint> legend;
    int legendRows = 1;
    for (int k = 0, x = 0; k < m_bells.size(); ++k) {
        if (x > 0 && x + itemWidth(k) > width() - kLeft - kRight) {
            x = 0;
            ++legendRows;
        }
        legend << QPoint(x, legendRows - 1);
        x += itemWidth(k);
    }
    const QRect area =
        rect().adjusted(kLeft, kTop, -kRight, -(2 + legendRows) * metrics.height() - metrics.descent() - 4);
    if (area.width() < 20 || area.height() < 20) {
        return;
    }
    double span = 1.0;
    for (const ErrorPoint& point : m_timeline.points) {
        span = std::max(span, point.seconds);
    }
    const auto xOf = [&](double seconds) { return area.left() + seconds / span * area.width(); };
    const auto yOf = [&](double errorMs) {
        const double clipped = std::clamp(errorMs, -kRangeMs, kRangeMs);
        return area.center().y() - clipped / kRangeMs * (area.height() / 2.0);
    };
    const QColor text = palette().text().color();
    // The bars, numbered 1 up, labels thinned out where they crowd.
    int labelEvery = 1;
    if (m_timeline.bars.size() > 1) {
        const double barWidth = area.width() / std::max(1.0, static_cast<double>(m_timeline.bars.size()));
        labelEvery = std::max(1, static_cast<int>(std::ceil(kLeastLabelGap / std::max(1.0, barWidth))));
    }
    for (const BarStart& bar : m_timeline.bars) {
        const double x = xOf(bar.seconds);
        if (x < area.left() - 0.5 || x > area.right() + 0.5) {
            continue;
        }
        painter.setPen(QPen(palette().mid().color(), 1, Qt::DotLine));
        painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        if ((bar.bar + 1) % labelEvery == 0 || labelEvery == 1) {
            painter.setPen(text);
            painter.drawText(QPointF(x + 2, area.bottom() + metrics.ascent() + 1),
                             QString::number(bar.bar + 1));
        }
    }
    // The error axis: on time in the middle, the band of 20 ms around it shaded.
    painter.fillRect(QRectF(area.left(), yOf(20), area.width(), yOf(-20) - yOf(20)), QColor(0, 160, 0, 30));
    painter.setPen(text);
    painter.drawLine(QPointF(area.left(), yOf(0)), QPointF(area.right(), yOf(0)));
    painter.drawRect(area);
    for (int ms : {-100, -50, 0, 50, 100}) {
        const QString label = QString::number(ms);
        painter.drawText(
            QPointF(area.left() - 4 - metrics.horizontalAdvance(label), yOf(ms) + metrics.ascent() / 2.0),
            label);
    }
    painter.drawText(QPointF(area.left(), area.bottom() + 2 * metrics.height()),
                     QStringLiteral("такты; выше линии позже, ниже раньше (мс)"));
    for (int k = 0; k < m_bells.size(); ++k) {
        const int bell = m_bells[k].bell;
        const QColor colour = colourOfBell(k);
        QPolygonF mean;
        const QList<double> means = runningMean(m_timeline.points, bell, kMeanWindow);
        int hit = 0;
        painter.setPen(Qt::NoPen);
        for (const ErrorPoint& point : m_timeline.points) {
            if (point.bell != bell) {
                continue;
            }
            const double x = xOf(point.seconds);
            if (point.missed) {
                // A miss stands at the top edge as a cross.
                painter.setPen(QPen(colour, 1.5));
                const double y = area.top() + 4;
                painter.drawLine(QPointF(x - 3, y - 3), QPointF(x + 3, y + 3));
                painter.drawLine(QPointF(x - 3, y + 3), QPointF(x + 3, y - 3));
                painter.setPen(Qt::NoPen);
                continue;
            }
            QColor dot = colour;
            dot.setAlpha(120);
            painter.setBrush(dot);
            painter.drawEllipse(QPointF(x, yOf(point.errorMs)), 2.5, 2.5);
            mean << QPointF(x, yOf(means.value(hit++)));
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, 2.0));
        painter.drawPolyline(mean);
        const int baseline = area.bottom() + (3 + legend[k].y()) * metrics.height();
        const int left = area.left() + legend[k].x();
        painter.drawLine(left, baseline - metrics.ascent() / 2, left + 18, baseline - metrics.ascent() / 2);
        painter.setPen(text);
        painter.drawText(left + 24, baseline, m_bells[k].text);
    }
}
