// The mixer's render() runs on the audio thread (the device callback, the
// null driver's thread or the offline renderer). What it may do:
//   - read and write its own preallocated voice pool and the master bus state;
//   - pop commands from the command queue and push start reports;
//   - load and compare-and-swap the per-voice state words, store the frame
//     clock and bump counters, all through atomics;
//   - read decoded samples, which are immutable and outlive the mixer;
//   - read streamed voices from their lock-free rings and drop its hold on
//     a stream (an atomic count; the stream is freed on its decoder's thread).
// What it must never do: take a lock or wait, allocate or free memory, touch
// a file or a Qt type, log, throw, or call anything that might. A start that
// cannot be honoured (pool full) takes over the quietest voice instead of
// failing; a command it cannot place is dropped, never waited on.

#include "playback/audio/Mixer.h"

#include "playback/audio/DenormalGuard.h"
#include "playback/audio/VoiceLoop.h"

#include <algorithm>
#include <cmath>

namespace audio {

namespace {

// Device frames rendered from one stretch of the voices' sum at most.
constexpr int kChunkFrames = 1024;

int fadeTailsFor(int voices) {
    return std::max(16, voices / 4);
}

} // namespace

int Mixer::voiceRateFor(int samplesRate, int deviceRate) {
    return samplesRate == deviceRate || RateInterpolator::serves(samplesRate, deviceRate) ? samplesRate
                                                                                          : deviceRate;
}

Mixer::Mixer(const MixerConfig& config)
    : m_sampleRate(config.sampleRate),
      m_voiceRate(config.voiceRate > 0 ? voiceRateFor(config.voiceRate, config.sampleRate)
                                       : config.sampleRate),
      m_voiceLimit(std::max(1, config.voices)),
      m_fadeFrames(std::max(1.0f, static_cast<float>(config.fadeMilliseconds * m_voiceRate / 1000.0))),
      m_handleState(new std::atomic<std::uint64_t>[static_cast<std::size_t>(std::max(1, config.handles))]),
      m_busGain(config.busGain), m_limiter(config.sampleRate) {
    // The bus starts at its full level, so the first block does not glide.
    m_gainLeft = m_busGain * static_cast<float>(m_volumeLeft.load(std::memory_order_relaxed)) / 65535.0f;
    m_gainRight = m_busGain * static_cast<float>(m_volumeRight.load(std::memory_order_relaxed)) / 65535.0f;
    const std::size_t handles = static_cast<std::size_t>(std::max(1, config.handles));
    for (std::size_t h = 0; h < handles; ++h) {
        m_handleState[h].store(pack(0, kClosed), std::memory_order_relaxed);
    }
    m_handleInfo.resize(handles);
    m_freeHandles.reserve(handles);
    for (std::size_t h = handles; h-- > 0;) {
        m_freeHandles.push_back(static_cast<VoiceHandle>(h));
    }

    const int slots = m_voiceLimit + fadeTailsFor(m_voiceLimit);
    m_voices.resize(static_cast<std::size_t>(slots));
    m_active.resize(static_cast<std::size_t>(slots));
    m_free.resize(static_cast<std::size_t>(slots));
    m_steadyStereo.resize(static_cast<std::size_t>(slots));
    m_steadyStereoGain.resize(static_cast<std::size_t>(slots));
    m_steadyMono.resize(static_cast<std::size_t>(slots));
    m_steadyMonoGain.resize(static_cast<std::size_t>(slots));
    for (int s = 0; s < slots; ++s) {
        m_free[static_cast<std::size_t>(s)] = slots - 1 - s;
    }
    m_freeCount = slots;

    if (m_voiceRate != m_sampleRate) {
        m_interpolator = std::make_unique<RateInterpolator>(m_voiceRate, m_sampleRate);
        // Input frames one chunk of output reads, with the filter's reach.
        const std::int64_t span = m_interpolator->endInput(kChunkFrames - 1) - m_interpolator->firstInput(0);
        m_bus.assign(static_cast<std::size_t>(2 * (span + 1)), 0.0f);
        // Before the first frame the voices' sum is silence.
        m_busStart = m_interpolator->firstInput(0);
    }
}

Mixer::~Mixer() {
    // Nothing renders any more: let go of the streams still held, by voices
    // and by starts that never reached the audio thread.
    for (int i = 0; i < m_activeCount; ++i) {
        releaseStream(m_voices[static_cast<std::size_t>(m_active[static_cast<std::size_t>(i)])].stream);
    }
    Command command;
    while (m_commands.pop(command)) {
        if (command.kind == Command::kStart) {
            releaseStream(command.stream);
        }
    }
}

void Mixer::releaseStream(VoiceStream* stream) noexcept {
    if (stream) {
        stream->release();
    }
}

// ---- control thread ----

Mixer::State Mixer::stateOf(VoiceHandle handle) const {
    return static_cast<State>(m_handleState[handle].load(std::memory_order_acquire) & 0xffffffffu);
}

std::optional<VoiceHandle> Mixer::openVoice(const Sample* sample) {
    if (!sample || m_freeHandles.empty()) {
        return std::nullopt;
    }
    const VoiceHandle handle = m_freeHandles.back();
    m_freeHandles.pop_back();
    HandleInfo& info = m_handleInfo[handle];
    info.sample = sample;
    info.stream = nullptr;
    info.open = true;
    ++info.instance;
    ++m_openCount;
    m_handleState[handle].store(pack(info.instance, kOpen), std::memory_order_release);
    return handle;
}

std::optional<VoiceHandle> Mixer::openVoice(VoiceStream* stream) {
    if (!stream || m_freeHandles.empty()) {
        return std::nullopt;
    }
    const VoiceHandle handle = m_freeHandles.back();
    m_freeHandles.pop_back();
    HandleInfo& info = m_handleInfo[handle];
    info.sample = nullptr;
    info.stream = stream;
    info.open = true;
    ++info.instance;
    ++m_openCount;
    m_handleState[handle].store(pack(info.instance, kOpen), std::memory_order_release);
    return handle;
}

bool Mixer::play(VoiceHandle handle, std::int64_t targetFrame, float gain, bool keep) {
    if (!validHandle(handle) || !m_handleInfo[handle].open) {
        return false;
    }
    HandleInfo& info = m_handleInfo[handle];
    const bool restart = stateOf(handle) == kPlaying;
    if (m_commands.freeSpace() < (restart ? 2u : 1u)) {
        return false;
    }
    if (restart) {
        m_commands.push(Command{Command::kStop, handle, info.instance, nullptr, nullptr, 0.0f, 0, false});
    }
    if (info.stream) {
        info.stream->retain(); // given back by the audio thread when this start ends
    }
    // A new instance number for every start, so that the end of an earlier
    // start can never mark this one finished.
    ++info.instance;
    m_handleState[handle].store(pack(info.instance, kPlaying), std::memory_order_release);
    m_commands.push(
        Command{Command::kStart, handle, info.instance, info.sample, info.stream, gain, targetFrame, keep});
    return true;
}

bool Mixer::isPlaying(VoiceHandle handle) const {
    return validHandle(handle) && m_handleInfo[handle].open && stateOf(handle) == kPlaying;
}

bool Mixer::isOpen(VoiceHandle handle) const {
    return validHandle(handle) && m_handleInfo[handle].open;
}

const Sample* Mixer::sampleOf(VoiceHandle handle) const {
    return isOpen(handle) ? m_handleInfo[handle].sample : nullptr;
}

void Mixer::close(VoiceHandle handle) {
    if (!isOpen(handle)) {
        return;
    }
    HandleInfo& info = m_handleInfo[handle];
    if (stateOf(handle) == kPlaying) {
        // If the queue is full the voice rings to its end instead; the
        // instance number keeps it from touching the handle's next user.
        m_commands.push(Command{Command::kStop, handle, info.instance, nullptr, nullptr, 0.0f, 0, false});
    }
    info.open = false;
    info.sample = nullptr;
    info.stream = nullptr;
    m_handleState[handle].store(pack(info.instance, kClosed), std::memory_order_release);
    m_freeHandles.push_back(handle);
    --m_openCount;
}

void Mixer::setMasterVolume(std::uint16_t left, std::uint16_t right) {
    m_volumeLeft.store(left, std::memory_order_relaxed);
    m_volumeRight.store(right, std::memory_order_relaxed);
}

// ---- audio thread ----

void Mixer::markFinished(const Voice& voice) noexcept {
    std::uint64_t expected = pack(voice.instance, kPlaying);
    m_handleState[voice.handle].compare_exchange_strong(expected, pack(voice.instance, kFinished),
                                                        std::memory_order_acq_rel);
}

void Mixer::beginFade(Voice& voice) noexcept {
    if (voice.fadeStep == 0.0f) {
        voice.fadeStep = std::max(voice.fade, 1e-6f) / m_fadeFrames;
        --m_unfaded;
    }
    markFinished(voice);
}

void Mixer::removeActive(int activeIndex) noexcept {
    const int slot = m_active[static_cast<std::size_t>(activeIndex)];
    const Voice& voice = m_voices[static_cast<std::size_t>(slot)];
    if (voice.fadeStep == 0.0f) {
        --m_unfaded;
    }
    markFinished(voice);
    releaseStream(voice.stream);
    m_active[static_cast<std::size_t>(activeIndex)] = m_active[static_cast<std::size_t>(m_activeCount - 1)];
    --m_activeCount;
    m_free[static_cast<std::size_t>(m_freeCount++)] = slot;
}

float Mixer::levelOf(const Voice& voice) noexcept {
    // A stream has no envelope ahead of it: count it as loud.
    const float level = voice.sample ? voice.sample->levelAt(voice.position) : 1.0f;
    return level * voice.gain * voice.fade;
}

void Mixer::takeOverQuietest() noexcept {
    int quietest = -1;
    float lowest = 0.0f;
    for (int i = 0; i < m_activeCount; ++i) {
        const Voice& voice = m_voices[static_cast<std::size_t>(m_active[static_cast<std::size_t>(i)])];
        if (voice.fadeStep != 0.0f || voice.keep) {
            continue;
        }
        const float level = levelOf(voice);
        if (quietest < 0 || level < lowest) {
            quietest = i;
            lowest = level;
        }
    }
    if (quietest >= 0) {
        beginFade(m_voices[static_cast<std::size_t>(m_active[static_cast<std::size_t>(quietest)])]);
        m_takenOver.fetch_add(1, std::memory_order_relaxed);
    }
}

int Mixer::allocateSlot() noexcept {
    if (m_freeCount == 0) {
        // Every slot is busy and some of them are fading out: cut the faintest
        // of the fading voices, which is nearly silent already.
        int faintest = -1;
        float lowest = 0.0f;
        for (int i = 0; i < m_activeCount; ++i) {
            const Voice& voice = m_voices[static_cast<std::size_t>(m_active[static_cast<std::size_t>(i)])];
            if (voice.fadeStep == 0.0f) {
                continue;
            }
            const float level = levelOf(voice);
            if (faintest < 0 || level < lowest) {
                faintest = i;
                lowest = level;
            }
        }
        if (faintest < 0) {
            return -1;
        }
        removeActive(faintest);
    }
    return m_free[static_cast<std::size_t>(--m_freeCount)];
}

void Mixer::startVoice(const Command& command, std::int64_t blockStart) noexcept {
    const Sample* sample = command.sample;
    Voice probe;
    probe.handle = command.handle;
    probe.instance = command.instance;
    const bool playable =
        sample ? sample->frames > 0 && sample->channels >= 1 && sample->channels <= 2
               : command.stream && command.stream->channels() >= 1 && command.stream->channels() <= 2;
    if (!playable) {
        markFinished(probe);
        releaseStream(command.stream);
        return;
    }
    std::int64_t startFrame = command.targetFrame;
    bool moved = true;
    if (startFrame == kStartNow) {
        startFrame = blockStart;
    } else if ((startFrame = toVoiceFrame(startFrame)) >= blockStart) {
        moved = false;
    } else {
        startFrame = blockStart;
        // Between rates the voices run a few frames ahead of the device: a
        // start for the device's current block is in time, if a little late.
        if (command.targetFrame < m_deviceFrame) {
            m_lateStarts.fetch_add(1, std::memory_order_relaxed);
        }
    }
    if (m_unfaded >= m_voiceLimit) {
        takeOverQuietest();
    }
    const int slot = allocateSlot();
    if (slot < 0) {
        markFinished(probe);
        releaseStream(command.stream);
        return;
    }
    Voice& voice = m_voices[static_cast<std::size_t>(slot)];
    voice = Voice{};
    voice.sample = sample;
    voice.stream = command.stream;
    voice.startFrame = startFrame;
    voice.gain = command.gain;
    voice.handle = command.handle;
    voice.instance = command.instance;
    voice.keep = command.keep;
    m_active[static_cast<std::size_t>(m_activeCount++)] = slot;
    ++m_unfaded;

    if (m_reportsEnabled.load(std::memory_order_relaxed)) {
        // A start kept on its frame reports that device frame; a moved one the
        // device frame its voice frame lies nearest to.
        const StartReport report{command.handle, command.instance, sample, command.targetFrame,
                                 moved ? toDeviceFrame(startFrame) : command.targetFrame};
        if (!m_reports.push(report)) {
            m_droppedReports.fetch_add(1, std::memory_order_relaxed);
        }
    }
}

void Mixer::stopVoice(const Command& command, std::int64_t blockStart) noexcept {
    for (int i = 0; i < m_activeCount; ++i) {
        Voice& voice = m_voices[static_cast<std::size_t>(m_active[static_cast<std::size_t>(i)])];
        if (voice.handle != command.handle || voice.instance != command.instance) {
            continue;
        }
        if (voice.startFrame >= blockStart && voice.position == 0) {
            removeActive(i); // never sounded: nothing to fade
            m_withdrawn.fetch_add(1, std::memory_order_relaxed);
        } else {
            beginFade(voice);
        }
        return;
    }
}

void Mixer::drainCommands(std::int64_t blockStart) noexcept {
    Command command;
    while (m_commands.pop(command)) {
        if (command.kind == Command::kStart) {
            startVoice(command, blockStart);
        } else {
            stopVoice(command, blockStart);
        }
    }
}

int Mixer::mixFrames(Voice& voice, float* dst, const std::int16_t* src, int channels, int frames,
                     float scale) noexcept {
    if (voice.fadeStep != 0.0f) {
        return voiceloop::addFading(dst, src, channels, frames, voice.gain * scale, voice.fade,
                                    voice.fadeStep);
    }
    const float gain = voice.gain * voice.fade * scale;
    if (channels == 2) {
        voiceloop::addStereo(dst, src, frames, gain);
    } else {
        voiceloop::addMono(dst, src, frames, gain);
    }
    return frames;
}

// A sample voice that sounds from the first to the last frame of the block
// without a fade.
bool Mixer::steadyThrough(const Voice& voice, int frames, std::int64_t blockStart) const noexcept {
    return voice.sample && voice.fadeStep == 0.0f && voice.startFrame <= blockStart &&
           voice.position + frames <= voice.sample->frames;
}

bool Mixer::mixVoice(Voice& voice, float* out, int frames, std::int64_t blockStart) noexcept {
    const std::int64_t blockEnd = blockStart + frames;
    if (voice.startFrame >= blockEnd) {
        return true; // waiting for its frame
    }
    const int offset = voice.startFrame > blockStart ? static_cast<int>(voice.startFrame - blockStart) : 0;
    float* dst = out + 2 * offset;
    if (voice.stream) {
        return mixStream(voice, dst, frames - offset);
    }
    const Sample& sample = *voice.sample;
    const int count =
        static_cast<int>(std::min<std::int64_t>(frames - offset, sample.frames - voice.position));
    const std::int16_t* src = sample.data.data() + voice.position * sample.channels;
    voice.position += mixFrames(voice, dst, src, sample.channels, count, sample.scale);
    const bool faded = voice.fadeStep != 0.0f && voice.fade <= 0.0f;
    return !faded && voice.position < sample.frames;
}

bool Mixer::mixStream(Voice& voice, float* dst, int frames) noexcept {
    VoiceStream& stream = *voice.stream;
    int done = 0;
    // At most two pieces: up to the end of the ring, then from its start.
    while (done < frames) {
        std::int64_t ready = 0;
        const std::int16_t* src = stream.readSpan(ready);
        if (ready == 0) {
            break;
        }
        const int count = static_cast<int>(std::min<std::int64_t>(ready, frames - done));
        const int mixed =
            mixFrames(voice, dst + 2 * done, src, stream.channels(), count, VoiceStream::kScale);
        stream.consume(mixed);
        done += mixed;
        voice.position += mixed;
        if (voice.fadeStep != 0.0f && voice.fade <= 0.0f) {
            return false;
        }
    }
    if (done < frames) {
        if (stream.drained() || voice.fadeStep != 0.0f) {
            return false;
        }
        // The decoder is behind: the missing frames stay silent.
        stream.countUnderrun();
        m_streamUnderruns.fetch_add(1, std::memory_order_relaxed);
    }
    return true;
}

void Mixer::applyMasterBus(float* out, int frames) noexcept {
    const float targetLeft =
        m_busGain * static_cast<float>(m_volumeLeft.load(std::memory_order_relaxed)) / 65535.0f;
    const float targetRight =
        m_busGain * static_cast<float>(m_volumeRight.load(std::memory_order_relaxed)) / 65535.0f;
    // A change of volume glides over one block instead of stepping.
    const float stepLeft = (targetLeft - m_gainLeft) / static_cast<float>(frames);
    const float stepRight = (targetRight - m_gainRight) / static_cast<float>(frames);
    float gainLeft = m_gainLeft;
    float gainRight = m_gainRight;
    for (int i = 0; i < frames; ++i) {
        gainLeft += stepLeft;
        gainRight += stepRight;
        float left = out[2 * i] * gainLeft;
        float right = out[2 * i + 1] * gainRight;
        m_limiter.process(left, right);
        out[2 * i] = left;
        out[2 * i + 1] = right;
    }
    m_gainLeft = targetLeft;
    m_gainRight = targetRight;
}

// A sound that starts on voice frame v is at half its level half a frame
// before v, where its first frame meets the silence before it. A start at
// device frame d therefore plays from the voice frame nearest to d's
// position: at 44.1 kHz it reaches half its level on d itself; at a device
// faster than the voices at most one device frame early.
std::int64_t Mixer::toVoiceFrame(std::int64_t deviceFrame) const noexcept {
    if (!m_interpolator) {
        return deviceFrame;
    }
    const std::int64_t scaled = 2 * deviceFrame * m_voiceRate + m_sampleRate;
    const std::int64_t divisor = 2 * static_cast<std::int64_t>(m_sampleRate);
    const std::int64_t quotient = scaled / divisor;
    return quotient * divisor > scaled ? quotient - 1 : quotient;
}

// The first device frame at which a voice started on voice frame v sounds
// at half its level.
std::int64_t Mixer::toDeviceFrame(std::int64_t voiceFrame) const noexcept {
    if (!m_interpolator) {
        return voiceFrame;
    }
    const std::int64_t scaled = (2 * voiceFrame - 1) * m_sampleRate;
    const std::int64_t divisor = 2 * static_cast<std::int64_t>(m_voiceRate);
    return scaled <= 0 ? 0 : (scaled + divisor - 1) / divisor;
}

void Mixer::render(float* out, int frames) noexcept {
    if (frames <= 0) {
        return;
    }
    const DenormalGuard flushDenormals;
    if (m_interpolator) {
        mixInterpolated(out, frames);
    } else {
        mixVoices(out, frames);
        m_deviceFrame = m_frame;
    }
    applyMasterBus(out, frames);
    m_activeVoices.store(m_activeCount, std::memory_order_release);
    m_frameClock.store(m_deviceFrame, std::memory_order_release);
}

// Output frames at the device rate, chunk by chunk: the voices are mixed at
// their own rate as far as the filter reads ahead, then interpolated.
void Mixer::mixInterpolated(float* out, int frames) noexcept {
    const RateInterpolator& interpolator = *m_interpolator;
    for (int done = 0; done < frames;) {
        const int count = std::min(kChunkFrames, frames - done);
        const std::int64_t first = interpolator.firstInput(m_deviceFrame);
        const std::int64_t end = interpolator.endInput(m_deviceFrame + count - 1);
        // Let go of the input frames no output frame reads any more.
        const std::int64_t drop = first - m_busStart;
        const std::int64_t held = m_frame - m_busStart;
        if (drop > 0) {
            std::copy(m_bus.begin() + 2 * drop, m_bus.begin() + 2 * held, m_bus.begin());
            m_busStart = first;
        }
        if (end > m_frame) {
            mixVoices(m_bus.data() + 2 * (m_frame - m_busStart), static_cast<int>(end - m_frame));
        }
        interpolator.process(m_bus.data(), m_busStart, out + 2 * static_cast<std::ptrdiff_t>(done),
                             m_deviceFrame, count);
        m_deviceFrame += count;
        done += count;
    }
}

void Mixer::mixVoices(float* out, int frames) noexcept {
    const std::int64_t blockStart = m_frame;
    drainCommands(blockStart);
    std::fill(out, out + 2 * static_cast<std::ptrdiff_t>(frames), 0.0f);
    // Most voices of a ringing sound through the whole block: those are
    // gathered and summed together; the others (starting, ending, fading,
    // streamed) are mixed one by one.
    voiceloop::SteadyVoices steady{m_steadyStereo.data(), m_steadyStereoGain.data(), 0,
                                   m_steadyMono.data(),   m_steadyMonoGain.data(),   0};
    for (int i = 0; i < m_activeCount;) {
        Voice& voice = m_voices[static_cast<std::size_t>(m_active[static_cast<std::size_t>(i)])];
        bool sounding = true;
        if (steadyThrough(voice, frames, blockStart)) {
            const Sample& sample = *voice.sample;
            const std::int16_t* src = sample.data.data() + voice.position * sample.channels;
            const float gain = voice.gain * voice.fade * sample.scale;
            if (sample.channels == 2) {
                m_steadyStereo[static_cast<std::size_t>(steady.stereoCount)] = src;
                m_steadyStereoGain[static_cast<std::size_t>(steady.stereoCount++)] = gain;
            } else {
                m_steadyMono[static_cast<std::size_t>(steady.monoCount)] = src;
                m_steadyMonoGain[static_cast<std::size_t>(steady.monoCount++)] = gain;
            }
            voice.position += frames;
            sounding = voice.position < sample.frames;
        } else {
            sounding = mixVoice(voice, out, frames, blockStart);
        }
        if (sounding) {
            ++i;
        } else {
            removeActive(i);
        }
    }
    voiceloop::addSteady(out, frames, steady);
    m_frame = blockStart + frames;
}

} // namespace audio
