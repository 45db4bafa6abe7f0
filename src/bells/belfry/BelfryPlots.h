#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// The two pictures of a bell in the belfry dialog: its recording with the
// points where it was cut, and its spectrum with the partials marked.

struct PlotMark {
    double at = 0.0; // seconds on the waveform, Hz on the spectrum
    QString label;
};

// Highest and lowest value of each of `columns` equal stretches of `x`.
struct WaveColumns {
    std::vector<float> low;
    std::vector<float> high;
};
WaveColumns waveColumns(const std::vector<float>& x, int columns);

// The level in dB of `bins` log-spaced frequencies from `lowHz` to `highHz`
// over the first second of `x`, 0 dB at the strongest.
std::vector<double> logSpectrum(const std::vector<float>& x, int sampleRate, double lowHz, double highHz,
                                int bins);

class BelfryWaveView : public QWidget {
public:
    explicit BelfryWaveView(QWidget* parent = nullptr);
    void setWave(std::vector<float> mono, int sampleRate, std::vector<PlotMark> marks);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<float> m_mono;
    int m_rate = 0;
    std::vector<PlotMark> m_marks;
};

class BelfrySpectrumView : public QWidget {
public:
    static constexpr double kLowHz = 30.0;
    static constexpr double kHighHz = 12000.0;

    explicit BelfrySpectrumView(QWidget* parent = nullptr);
    void setSpectrum(const std::vector<float>& mono, int sampleRate, std::vector<PlotMark> partials);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<double> m_levels;
    double m_highHz = kHighHz;
    std::vector<PlotMark> m_partials;
};
