#include "bells/belfry/BelfryPlots.h"

#include "playback/audio/analysis/Fft.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

constexpr double kRangeDb = 80.0;

} // namespace

WaveColumns waveColumns(const std::vector<float>& x, int columns) {
    WaveColumns w;
    if (columns <= 0 || x.empty()) {
        return w;
    }
    w.low.assign(static_cast<size_t>(columns), 0.0f);
    w.high.assign(static_cast<size_t>(columns), 0.0f);
    for (int c = 0; c < columns; ++c) {
        const size_t from = x.size() * static_cast<size_t>(c) / static_cast<size_t>(columns);
        const size_t to = std::max(from + 1, x.size() * static_cast<size_t>(c + 1) / static_cast<size_t>(columns));
        const auto [lo, hi] = std::minmax_element(x.begin() + static_cast<long>(from),
                                                  x.begin() + static_cast<long>(std::min(to, x.size())));
        w.low[static_cast<size_t>(c)] = *lo;
        w.high[static_cast<size_t>(c)] = *hi;
    }
    return w;
}

std::vector<double> logSpectrum(const std::vector<float>& x, int sampleRate, double lowHz, double highHz,
                                int bins) {
    std::vector<double> levels(static_cast<size_t>(std::max(bins, 0)), -kRangeDb);
    if (x.size() < 16 || sampleRate <= 0 || bins <= 0) {
        return levels;
    }
    const size_t length = std::min(x.size(), static_cast<size_t>(sampleRate));
    const size_t n = bellmeasure::nextPowerOfTwo(length * 2);
    std::vector<std::complex<double>> buf(n);
    for (size_t i = 0; i < length; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / (length - 1));
        buf[i] = x[i] * hann;
    }
    bellmeasure::fft(buf);
    // Each displayed bin takes the strongest FFT bin it covers, so a narrow
    // partial is not averaged away.
    double top = 1e-300;
    std::vector<double> power(levels.size(), 0.0);
    for (size_t b = 0; b < levels.size(); ++b) {
        const double f0 = lowHz * std::pow(highHz / lowHz, static_cast<double>(b) / bins);
        const double f1 = lowHz * std::pow(highHz / lowHz, static_cast<double>(b + 1) / bins);
        const size_t k0 = static_cast<size_t>(f0 * n / sampleRate);
        const size_t k1 = std::min(n / 2, std::max(k0 + 1, static_cast<size_t>(f1 * n / sampleRate)));
        for (size_t k = k0; k < k1; ++k) {
            power[b] = std::max(power[b], std::norm(buf[k]));
        }
        top = std::max(top, power[b]);
    }
    for (size_t b = 0; b < levels.size(); ++b) {
        levels[b] = std::max(-kRangeDb, 10.0 * std::log10(power[b] / top + 1e-300));
    }
    return levels;
}

BelfryWaveView::BelfryWaveView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 110);
}

void BelfryWaveView::setWave(std::vector<float> mono, int sampleRate, std::vector<PlotMark> marks) {
    m_mono = std::move(mono);
    m_rate = sampleRate;
    m_marks = std::move(marks);
    update();
}

void BelfryWaveView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (m_mono.empty() || m_rate <= 0) {
        return;
    }
    const WaveColumns w = waveColumns(m_mono, width());
    const double mid = height() / 2.0;
    const double scale = height() / 2.0 - 2.0;
    p.setPen(QColor(40, 70, 140));
    for (int c = 0; c < width(); ++c) {
        p.drawLine(QPointF(c, mid - w.high[static_cast<size_t>(c)] * scale),
                   QPointF(c, mid - w.low[static_cast<size_t>(c)] * scale));
    }
    const double seconds = static_cast<double>(m_mono.size()) / m_rate;
    p.setPen(QColor(200, 30, 30));
    for (const PlotMark& m : m_marks) {
        const double x = m.at / seconds * width();
        p.drawLine(QPointF(x, 0), QPointF(x, height()));
        p.drawText(QPointF(x + 2, 12), m.label);
    }
}

BelfrySpectrumView::BelfrySpectrumView(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 110);
}

void BelfrySpectrumView::setSpectrum(const std::vector<float>& mono, int sampleRate,
                                     std::vector<PlotMark> partials) {
    m_highHz = std::min(kHighHz, sampleRate / 2.0);
    m_levels = logSpectrum(mono, sampleRate, kLowHz, m_highHz, 400);
    m_partials = std::move(partials);
    update();
}

void BelfrySpectrumView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (m_levels.empty()) {
        return;
    }
    const double w = width();
    const double h = height();
    QPolygonF line;
    for (size_t b = 0; b < m_levels.size(); ++b) {
        line << QPointF(w * static_cast<double>(b) / m_levels.size(), h * (-m_levels[b] / kRangeDb));
    }
    p.setPen(QColor(40, 70, 140));
    p.drawPolyline(line);
    p.setPen(QColor(200, 30, 30));
    for (const PlotMark& m : m_partials) {
        if (m.at <= kLowHz || m.at >= m_highHz) {
            continue;
        }
        const double x = w * std::log(m.at / kLowHz) / std::log(m_highHz / kLowHz);
        p.drawLine(QPointF(x, 14), QPointF(x, h));
        p.drawText(QPointF(x + 2, 12), m.label);
    }
}
