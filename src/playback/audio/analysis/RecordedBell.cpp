#include "playback/audio/analysis/RecordedBell.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>

namespace belfry {

namespace {

constexpr double kBlockSeconds = 0.005;
// The noise floor: the quietest stretch of this length.
constexpr double kFloorWindowSeconds = 0.1;
// Below this peak a recording holds nothing (digital silence, a muted input).
constexpr double kSilentDb = -80.0;
// A strike stands at least this far above the floor...
constexpr double kStrikeOverFloorDb = 20.0;
// ...and reaches its loudest this soon after rising out of it.
constexpr double kMaxAttackSeconds = 0.08;
// A sound that sinks into the noise sooner is a knock or a click, not a ring.
constexpr double kMinSoundSeconds = 0.3;
// The ring ends where it is no more than this above the floor.
constexpr double kEndOverFloorDb = 6.0;

double toDb(double power) {
    return 10.0 * std::log10(std::max(power, 1e-24));
}

// The mono mix without its DC offset (a phone's input often has one), which
// would otherwise count as signal above the floor.
std::vector<float> monoWithoutDc(const bellmeasure::Audio& audio) {
    std::vector<float> x = audio.mono();
    const double pole = std::exp(-2.0 * 3.141592653589793 * 10.0 / audio.sampleRate);
    double prevIn = 0.0;
    double prevOut = 0.0;
    for (float& v : x) {
        const double out = v - prevIn + pole * prevOut;
        prevIn = v;
        prevOut = out;
        v = static_cast<float>(out);
    }
    return x;
}

struct Envelope {
    size_t block = 1;           // frames per block
    std::vector<double> levels; // dB of each block's mean power
    std::vector<double> power;
};

Envelope envelopeOf(const std::vector<float>& x, int rate) {
    Envelope e;
    e.block = std::max<size_t>(1, static_cast<size_t>(kBlockSeconds * rate));
    const size_t blocks = x.size() / e.block;
    e.power.resize(blocks);
    e.levels.resize(blocks);
    for (size_t b = 0; b < blocks; ++b) {
        double sum = 0.0;
        for (size_t i = b * e.block; i < (b + 1) * e.block; ++i) {
            sum += static_cast<double>(x[i]) * x[i];
        }
        e.power[b] = sum / static_cast<double>(e.block);
        e.levels[b] = toDb(e.power[b]);
    }
    return e;
}

double noiseFloorPower(const Envelope& e, int rate) {
    const size_t span = std::max<size_t>(1, static_cast<size_t>(kFloorWindowSeconds * rate) / e.block);
    if (e.power.size() <= span) {
        return *std::min_element(e.power.begin(), e.power.end());
    }
    double sum = std::accumulate(e.power.begin(), e.power.begin() + static_cast<long>(span), 0.0);
    double lowest = sum;
    for (size_t b = span; b < e.power.size(); ++b) {
        sum += e.power[b] - e.power[b - span];
        lowest = std::min(lowest, sum);
    }
    return std::max(lowest / static_cast<double>(span), 0.0);
}

// The strike pitch from the first 0.3 s after the attack, where the nominal
// leads. The ear builds it from the upper partials: a loud hum, more than an
// octave under the strongest partial, does not vote, or a big bell would be
// heard an octave low. A plate's fundamental is its strongest partial and
// stays.
double strikePitchAfter(const float* x, size_t count, double rate) {
    const size_t early = std::min(count, static_cast<size_t>(0.3 * rate));
    std::vector<bellmeasure::Peak> peaks = bellmeasure::spectralPeaks(x, early, rate, 60.0, 80, 3);
    if (peaks.empty()) {
        return 0.0;
    }
    const double lowest = 0.45 * peaks.front().freqHz;
    std::erase_if(peaks, [lowest](const bellmeasure::Peak& p) { return p.freqHz < lowest; });
    return bellmeasure::strikePitch(peaks);
}

// Another strike than the one at `onsetBlock`: the level over 20 ms (a
// period of the lowest hum, so that the wave itself does not count) rising
// 6 dB over the 20 ms before and reaching near the loudest. After the strike
// the ring's beats rise far more slowly; before it, talk rises as fast but
// breaks off between syllables where a ring does not.
bool hasSecondStrike(const Envelope& e, size_t onsetBlock, size_t peakBlock, int rate) {
    const size_t span = std::max<size_t>(1, static_cast<size_t>(0.02 * rate) / e.block);
    if (e.power.size() < 2 * span) {
        return false;
    }
    std::vector<double> level(e.power.size() - span + 1);
    double sum = std::accumulate(e.power.begin(), e.power.begin() + static_cast<long>(span), 0.0);
    for (size_t b = 0; b < level.size(); ++b) {
        level[b] = toDb(sum / static_cast<double>(span));
        if (b + span < e.power.size()) {
            sum += e.power[b + span] - e.power[b];
        }
    }
    const double peak = *std::max_element(level.begin(), level.end());
    const size_t settle = static_cast<size_t>(0.15 * rate) / e.block;
    const size_t holdFrom = static_cast<size_t>(0.15 * rate) / e.block;
    const size_t holdTo = static_cast<size_t>(0.4 * rate) / e.block;
    for (size_t b = span; b < level.size(); ++b) {
        if (b + 2 * span >= onsetBlock && b <= peakBlock + settle) {
            continue;
        }
        if (level[b] - level[b - span] < 6.0) {
            continue;
        }
        if (b > peakBlock) {
            if (level[b] >= peak - 15.0) {
                return true;
            }
            continue;
        }
        if (level[b] < peak - 6.0 || b + holdTo >= onsetBlock || b + holdTo >= level.size()) {
            continue;
        }
        bool rings = true;
        for (size_t k = b + holdFrom; k <= b + holdTo && rings; ++k) {
            rings = level[k] >= level[b] - 20.0;
        }
        if (rings) {
            return true;
        }
    }
    return false;
}

// Runs of at least four samples at the peak magnitude: the signal met the
// converter's limit there. A sine, even a low one, touches its top once.
bool isClipped(const bellmeasure::Audio& audio, float peak) {
    if (peak < 0.25f) {
        return false;
    }
    const float top = peak * (1.0f - 2e-5f);
    int runs = 0;
    for (const std::vector<float>& c : audio.channels) {
        int run = 0;
        for (const float v : c) {
            if (std::abs(v) >= top) {
                if (++run == 4) {
                    ++runs;
                }
            } else {
                run = 0;
            }
        }
    }
    return runs >= 2;
}

// The strongest peak within `belowCents`..`aboveCents` of `hz`.
Partial strongestNear(const std::vector<bellmeasure::Peak>& peaks, double hz, double belowCents,
                      double aboveCents) {
    Partial found;
    double best = -1e9;
    for (const bellmeasure::Peak& p : peaks) {
        const double c = bellmeasure::cents(hz, p.freqHz);
        if (c >= -belowCents && c <= aboveCents && p.levelDb > best) {
            best = p.levelDb;
            found = {p.freqHz, p.levelDb};
        }
    }
    return found;
}

std::array<Partial, kPartialCount> findPartials(const float* x, size_t count, double rate, double pitchHz) {
    std::array<Partial, kPartialCount> partials{};
    const std::vector<bellmeasure::Peak> peaks = bellmeasure::spectralPeaks(x, count, rate, 50.0, 60, 3);
    Partial nominal = strongestNear(peaks, 2.0 * pitchHz, 80.0, 80.0);
    const double n = nominal.hz > 0.0 ? nominal.hz : 2.0 * pitchHz;
    partials[Nominal] = nominal;
    // Windows wide enough for untuned bells: a Russian hum lies up to a
    // semitone above a quarter of the nominal, a thick bell's quint a
    // semitone under three quarters.
    partials[Hum] = strongestNear(peaks, 0.25 * n, 150.0, 200.0);
    partials[Prime] = strongestNear(peaks, 0.5 * n, 120.0, 120.0);
    partials[Tierce] = strongestNear(peaks, 0.6 * n, 150.0, 150.0);
    partials[Quint] = strongestNear(peaks, 0.75 * n, 150.0, 150.0);
    return partials;
}

RecordingResult refuse(RecordingResult r, Refusal refusal, std::string why) {
    r.refusal = refusal;
    r.why = std::move(why);
    return r;
}

std::string oneDecimal(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

} // namespace

const char* partialName(int partial) {
    static const char* names[] = {"hum", "prime", "tierce", "quint", "nominal"};
    return partial >= 0 && partial < kPartialCount ? names[partial] : "";
}

NoteOf nearestNote(double hz) {
    if (hz <= 0.0) {
        return {"-", 0.0};
    }
    static const char* names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const double midi = 69.0 + 12.0 * std::log2(hz / 440.0);
    const long nearest = std::lround(midi);
    const long pc = ((nearest % 12) + 12) % 12;
    const long octave = (nearest - pc) / 12 - 1;
    return {std::string(names[pc]) + std::to_string(octave), (midi - static_cast<double>(nearest)) * 100.0};
}

RecordingResult analyseRecording(bellmeasure::Audio audio) {
    RecordingResult r;
    r.audio = std::move(audio);
    const bellmeasure::Audio& a = r.audio;
    BellMeasures& m = r.measures;
    m.sampleRate = a.sampleRate;
    m.channels = static_cast<int>(a.channels.size());
    if (a.sampleRate <= 0 || a.channels.empty() || a.frames() == 0) {
        return refuse(std::move(r), Refusal::TooShort, "holds no sound at all");
    }
    float peak = 0.0f;
    for (const std::vector<float>& c : a.channels) {
        for (const float v : c) {
            peak = std::max(peak, std::abs(v));
        }
    }
    m.peakDb = 20.0 * std::log10(std::max(static_cast<double>(peak), 1e-12));
    if (m.peakDb < kSilentDb) {
        return refuse(std::move(r), Refusal::Silent, "is silent (its loudest sample is under -80 dBFS)");
    }
    if (isClipped(a, peak)) {
        return refuse(std::move(r), Refusal::Clipped,
                      "is clipped: the strike was too loud for the recorder; record it from further away");
    }
    const int rate = a.sampleRate;
    const std::vector<float> x = monoWithoutDc(a);
    const Envelope e = envelopeOf(x, rate);
    if (e.levels.size() < 4) {
        return refuse(std::move(r), Refusal::TooShort, "is too short to hold a strike");
    }
    const double floorPower = noiseFloorPower(e, rate);
    const double floorDb = toDb(std::max(floorPower, 1e-12));
    m.noiseFloorDb = floorDb;
    const size_t peakBlock =
        static_cast<size_t>(std::max_element(e.levels.begin(), e.levels.end()) - e.levels.begin());
    const double peakLevel = e.levels[peakBlock];
    if (peakLevel < floorDb + kStrikeOverFloorDb) {
        return refuse(std::move(r), Refusal::NoStrike,
                      "holds no strike: nothing rises " + oneDecimal(kStrikeOverFloorDb) +
                          " dB above its noise");
    }
    // Back from the loudest block while the level falls steeply, down to
    // where the strike leaves the noise or the ring of what came before.
    size_t onsetBlock = peakBlock;
    const double bottom = std::max(floorDb + kEndOverFloorDb, peakLevel - 50.0);
    while (onsetBlock > 0 && e.levels[onsetBlock - 1] > bottom &&
           (e.levels[onsetBlock - 1] > peakLevel - 10.0 ||
            e.levels[onsetBlock - 1] < e.levels[onsetBlock] - 1.0)) {
        --onsetBlock;
    }
    if (static_cast<double>((peakBlock - onsetBlock) * e.block) > kMaxAttackSeconds * rate) {
        return refuse(std::move(r), Refusal::NoStrike,
                      "holds no strike: the sound swells slowly instead of starting at once");
    }
    // The attack's first frame: the first sample standing clearly out of
    // the noise, the sound before the strike and the strike's own quiet
    // start, searched from the block before the rise.
    size_t peakFrame = peakBlock * e.block;
    for (size_t i = peakBlock * e.block; i < (peakBlock + 1) * e.block; ++i) {
        if (std::abs(x[i]) > std::abs(x[peakFrame])) {
            peakFrame = i;
        }
    }
    double before = 0.0;
    const size_t quietFrom = onsetBlock >= 5 ? onsetBlock - 5 : 0;
    const size_t quietTo = onsetBlock >= 2 ? onsetBlock - 1 : 0;
    for (size_t b = quietFrom; b < quietTo; ++b) {
        before = std::max(before, e.power[b]);
    }
    const double threshold = std::max({6.0 * std::sqrt(floorPower), 4.0 * std::sqrt(before),
                                       0.003 * std::abs(x[peakFrame])});
    const size_t from = onsetBlock > 0 ? (onsetBlock - 1) * e.block : 0;
    m.onsetFrame = peakFrame;
    for (size_t i = from; i < peakFrame; ++i) {
        if (std::abs(x[i]) > threshold) {
            m.onsetFrame = i;
            break;
        }
    }
    if (hasSecondStrike(e, m.onsetFrame / e.block, peakBlock, rate)) {
        return refuse(std::move(r), Refusal::TwoStrikes,
                      "holds two strikes; each recording must hold one strike of one bell");
    }
    const double ring = static_cast<double>(a.frames() - m.onsetFrame) / rate;
    if (ring < kMinRingSeconds) {
        return refuse(std::move(r), Refusal::TooShort,
                      "is too short: it ends " + oneDecimal(ring) + " s after the strike, and at least " +
                          oneDecimal(kMinRingSeconds) + " s of the ring is needed");
    }
    const size_t preRoll = static_cast<size_t>(kPreRollSeconds * rate);
    m.cutStart = m.onsetFrame > preRoll ? m.onsetFrame - preRoll : 0;
    // Where the ring sinks into the noise: the last block, smoothed over
    // 50 ms, still clearly above the floor.
    const size_t smooth = std::max<size_t>(1, static_cast<size_t>(0.05 * rate) / e.block);
    size_t lastBlock = e.levels.size();
    double sum = 0.0;
    for (size_t b = e.levels.size(); b-- > m.onsetFrame / e.block;) {
        sum += e.power[b];
        if (b + smooth < e.levels.size()) {
            sum -= e.power[b + smooth];
        }
        const size_t n = std::min(smooth, e.levels.size() - b);
        if (toDb(sum / static_cast<double>(n)) > floorDb + kEndOverFloorDb) {
            lastBlock = b + n;
            break;
        }
    }
    const size_t fade = static_cast<size_t>(kFadeOutSeconds * rate);
    m.cutEnd = std::clamp(lastBlock * e.block, m.onsetFrame + fade, a.frames());
    m.fadeStart = m.cutEnd > fade ? m.cutEnd - fade : m.cutStart;

    const float* strike = x.data() + m.onsetFrame;
    const size_t after = m.cutEnd - m.onsetFrame;
    if (static_cast<double>(after) < kMinSoundSeconds * rate) {
        return refuse(std::move(r), Refusal::TooShort,
                      "holds too short a sound: it dies away within " +
                          oneDecimal(static_cast<double>(after) / rate) + " s of the strike");
    }
    m.pitchHz = strikePitchAfter(strike, after, rate);
    if (m.pitchHz <= 0.0) {
        return refuse(std::move(r), Refusal::NoStrike, "holds no strike: the sound has no pitch");
    }
    m.partials = findPartials(strike, std::min(after, static_cast<size_t>(rate)), rate, m.pitchHz);
    // A bell's strike note lies an octave under its nominal: measured over a
    // second, the nominal places it more precisely than the early partials
    // the ear's pitch was found from. A plate has no nominal and keeps it.
    if (m.partials[Nominal].hz > 0.0 && m.partials[Nominal].levelDb > -30.0) {
        m.pitchHz = m.partials[Nominal].hz / 2.0;
    }
    std::vector<const float*> channels;
    for (const std::vector<float>& c : a.channels) {
        channels.push_back(c.data() + m.onsetFrame);
    }
    m.loudnessDb = bellmeasure::loudnessDb(channels, std::min(after, static_cast<size_t>(rate)), rate);
    m.t30Seconds = bellmeasure::measureDecay(trimmedRecording(a, m, 1.0)).t60Seconds;
    return r;
}

RecordingResult analyseRecordingFile(const std::string& path) {
    RecordingResult r;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return refuse(std::move(r), Refusal::Unreadable, "is a folder, not a recording");
    }
    std::ifstream probe(path, std::ios::binary);
    if (!probe) {
        return refuse(std::move(r), Refusal::Unreadable, std::string("cannot be read: ") + std::strerror(errno));
    }
    probe.close();
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return refuse(std::move(r), Refusal::NotAudio, "is not a sound file (WAV, FLAC, Ogg or MP3)");
    }
    const bool unknownLength = info.frames <= 0 || info.frames == SF_COUNT_MAX;
    const double seconds = info.samplerate > 0 ? static_cast<double>(info.frames) / info.samplerate : 0.0;
    sf_close(file);
    if (!unknownLength && seconds > kMaxRecordingSeconds) {
        return refuse(std::move(r), Refusal::TooLong,
                      "is too long (" + oneDecimal(seconds / 60.0) + " min); one strike and its ring fit in " +
                          oneDecimal(kMaxRecordingSeconds / 60.0) + " min");
    }
    std::string error;
    const size_t limit = static_cast<size_t>(kMaxRecordingSeconds * std::max(info.samplerate, 1)) + 1;
    std::optional<bellmeasure::Audio> audio = bellmeasure::readAudio(path, error, limit);
    if (!audio) {
        return refuse(std::move(r), Refusal::Unreadable, "cannot be decoded: " + error);
    }
    if (audio->frames() >= limit) {
        return refuse(std::move(r), Refusal::TooLong,
                      "is too long; one strike and its ring fit in " + oneDecimal(kMaxRecordingSeconds / 60.0) +
                          " min");
    }
    return analyseRecording(std::move(*audio));
}

bellmeasure::Audio trimmedRecording(const bellmeasure::Audio& audio, const BellMeasures& m, double gain) {
    bellmeasure::Audio out;
    out.sampleRate = audio.sampleRate;
    out.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    const size_t channels = std::min<size_t>(audio.channels.size(), 2);
    const size_t end = std::min(m.cutEnd, audio.frames());
    const size_t start = std::min(m.cutStart, end);
    const size_t fadeIn = std::max<size_t>(1, (m.onsetFrame - start) / 2);
    const size_t fadeLength = std::max<size_t>(1, end - std::min(m.fadeStart, end));
    for (size_t c = 0; c < channels; ++c) {
        std::vector<float> kept(audio.channels[c].begin() + static_cast<long>(start),
                                audio.channels[c].begin() + static_cast<long>(end));
        for (size_t i = 0; i < kept.size(); ++i) {
            const size_t frame = start + i;
            double g = gain;
            if (i < fadeIn) {
                g *= static_cast<double>(i) / static_cast<double>(fadeIn);
            }
            if (frame >= m.fadeStart) {
                const double left = static_cast<double>(end - frame) / static_cast<double>(fadeLength);
                g *= left * left;
            }
            kept[i] = static_cast<float>(kept[i] * g);
        }
        out.channels.push_back(std::move(kept));
    }
    return out;
}

double levelGain(const BellMeasures& m, double loudnessDb, double peakLimitDb) {
    const double toLoudness = loudnessDb - m.loudnessDb;
    const double toPeak = peakLimitDb - m.peakDb;
    return std::pow(10.0, std::min(toLoudness, toPeak) / 20.0);
}

std::vector<size_t> orderByPitch(const std::vector<double>& pitches) {
    std::vector<size_t> order(pitches.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return pitches[a] < pitches[b]; });
    return order;
}

std::vector<std::pair<size_t, size_t>> closePitches(const std::vector<double>& pitches, double cents) {
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t i = 0; i < pitches.size(); ++i) {
        for (size_t j = i + 1; j < pitches.size(); ++j) {
            if (pitches[i] > 0.0 && pitches[j] > 0.0 &&
                std::abs(bellmeasure::cents(pitches[i], pitches[j])) < cents) {
                pairs.emplace_back(i, j);
            }
        }
    }
    return pairs;
}

std::string writeFlac(const std::string& path, const bellmeasure::Audio& audio) {
    if (audio.channels.empty() || audio.sampleRate <= 0) {
        return path + ": nothing to write";
    }
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = static_cast<int>(audio.channels.size());
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    const std::string temporary = path + ".part";
    SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return path + ": " + sf_strerror(nullptr);
    }
    const size_t frames = audio.frames();
    std::vector<float> interleaved(frames * audio.channels.size());
    for (size_t i = 0; i < frames; ++i) {
        for (size_t c = 0; c < audio.channels.size(); ++c) {
            interleaved[i * audio.channels.size() + c] = std::clamp(audio.channels[c][i], -1.0f, 1.0f);
        }
    }
    const sf_count_t written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
    std::string error;
    if (written != static_cast<sf_count_t>(frames)) {
        error = path + ": " + sf_strerror(file);
    }
    if (sf_close(file) != 0 && error.empty()) {
        error = path + ": the file could not be completed (is the disk full?)";
    }
    std::error_code ec;
    if (error.empty()) {
        std::filesystem::rename(temporary, path, ec);
        if (ec) {
            error = path + ": " + ec.message();
        }
    }
    if (!error.empty()) {
        std::filesystem::remove(temporary, ec);
    }
    return error;
}

} // namespace belfry
