#include "Sonogram.h"

#include "playback/audio/analysis/Fft.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace bellmeasure {

namespace {

// Dark violet through red to pale yellow: even steps of level look even.
QColor levelColour(double t) {
    static const double stops[][3] = {{0, 0, 4},     {40, 11, 84},   {101, 21, 110}, {159, 42, 99},
                                      {212, 72, 66}, {245, 125, 21}, {250, 193, 39}, {252, 255, 164}};
    t = std::clamp(t, 0.0, 1.0) * 7.0;
    const int i = std::min(6, static_cast<int>(t));
    const double f = t - i;
    const auto mix = [&](int c) {
        return static_cast<int>(std::lround(stops[i][c] + f * (stops[i + 1][c] - stops[i][c])));
    };
    return QColor(mix(0), mix(1), mix(2));
}

// Level in dB of every pixel row (bottom = lowHz) at each pixel column.
std::vector<std::vector<double>> levels(const Audio& audio, const SpectrogramStyle& s) {
    const std::vector<float> mono = audio.mono();
    // A long window: bells change slowly, and the hum and its neighbours
    // lie only a few hertz apart.
    const size_t window = 16384;
    const size_t n = 32768;
    std::vector<double> hann(window);
    for (size_t i = 0; i < window; ++i) {
        hann[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / (window - 1));
    }
    std::vector<std::vector<double>> out(static_cast<size_t>(s.panelWidth),
                                         std::vector<double>(static_cast<size_t>(s.panelHeight), -300.0));
    std::vector<std::complex<double>> buf(n);
    for (int x = 0; x < s.panelWidth; ++x) {
        const double t = s.seconds * x / s.panelWidth;
        const long centre = std::lround(t * audio.sampleRate);
        std::fill(buf.begin(), buf.end(), std::complex<double>());
        bool any = false;
        for (size_t i = 0; i < window; ++i) {
            const long at = centre - static_cast<long>(window / 2) + static_cast<long>(i);
            if (at >= 0 && static_cast<size_t>(at) < mono.size()) {
                buf[i] = mono[static_cast<size_t>(at)] * hann[i];
                any = true;
            }
        }
        if (!any) {
            continue;
        }
        fft(buf);
        for (int y = 0; y < s.panelHeight; ++y) {
            const double f0 = s.lowHz * std::pow(s.highHz / s.lowHz, static_cast<double>(y) / s.panelHeight);
            const double f1 =
                s.lowHz * std::pow(s.highHz / s.lowHz, static_cast<double>(y + 1) / s.panelHeight);
            const size_t b0 = static_cast<size_t>(f0 * n / audio.sampleRate);
            const size_t b1 = std::max(b0, static_cast<size_t>(f1 * n / audio.sampleRate));
            double power = 0.0;
            for (size_t b = b0; b <= b1 && b < n / 2; ++b) {
                power = std::max(power, std::norm(buf[b]));
            }
            out[static_cast<size_t>(x)][static_cast<size_t>(y)] = 10.0 * std::log10(power + 1e-30);
        }
    }
    return out;
}

} // namespace

QImage drawSpectrograms(const std::vector<SpectrogramPanel>& panels, const SpectrogramStyle& s) {
    const int left = 64;
    const int top = 36;
    const int gap = 24;
    const int bottom = 44;
    const int width = left + static_cast<int>(panels.size()) * (s.panelWidth + gap);
    const int height = top + s.panelHeight + bottom;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 248));
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);

    // Each panel is scaled to its own loudest point, so that a soft small
    // bell shows its partials as clearly as a big one.
    std::vector<std::vector<std::vector<double>>> all;
    std::vector<double> loudest;
    for (const SpectrogramPanel& panel : panels) {
        all.push_back(levels(*panel.audio, s));
        loudest.push_back(-300.0);
        for (const auto& column : all.back()) {
            loudest.back() = std::max(loudest.back(), *std::max_element(column.begin(), column.end()));
        }
    }
    const auto yOf = [&](double hz) {
        return top + s.panelHeight -
               static_cast<int>(
                   std::lround(s.panelHeight * std::log(hz / s.lowHz) / std::log(s.highHz / s.lowHz)));
    };
    for (size_t k = 0; k < panels.size(); ++k) {
        const int x0 = left + static_cast<int>(k) * (s.panelWidth + gap);
        for (int x = 0; x < s.panelWidth; ++x) {
            for (int y = 0; y < s.panelHeight; ++y) {
                const double db = all[k][static_cast<size_t>(x)][static_cast<size_t>(y)] - loudest[k];
                image.setPixelColor(x0 + x, top + s.panelHeight - 1 - y, levelColour(1.0 + db / s.rangeDb));
            }
        }
        p.setPen(QColor(30, 30, 30));
        p.drawRect(x0 - 1, top - 1, s.panelWidth + 1, s.panelHeight + 1);
        p.drawText(QRect(x0, 6, s.panelWidth, top - 10), Qt::AlignLeft | Qt::AlignVCenter, panels[k].title);
        for (int sec = 0; sec <= static_cast<int>(s.seconds); sec += 5) {
            const int x = x0 + static_cast<int>(std::lround(s.panelWidth * sec / s.seconds));
            p.drawLine(x, top + s.panelHeight, x, top + s.panelHeight + 4);
            p.drawText(QRect(x - 20, top + s.panelHeight + 5, 40, 16), Qt::AlignCenter,
                       QString::number(sec) + QStringLiteral(" s"));
        }
    }
    p.setPen(QColor(30, 30, 30));
    for (double hz : {50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0}) {
        const int y = yOf(hz);
        p.drawLine(left - 5, y, left - 1, y);
        const QString label = hz >= 1000.0 ? QString::number(hz / 1000.0) + QStringLiteral(" kHz")
                                           : QString::number(hz) + QStringLiteral(" Hz");
        p.drawText(QRect(0, y - 8, left - 8, 16), Qt::AlignRight | Qt::AlignVCenter, label);
    }
    p.drawText(QRect(left, height - 20, width - left, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Level: pale yellow is the loudest point of each bell, black %1 dB under it.")
                   .arg(static_cast<int>(s.rangeDb)));
    p.end();
    return image;
}

} // namespace bellmeasure
