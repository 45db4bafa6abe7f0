#include "lessons/EngineVoice.h"

#include "playback/audio/AudioEngine.h"

#include <QFile>

namespace {

// How often a waiting play looks whether decoding has finished.
constexpr int kPollMilliseconds = 40;

std::string nativePath(const QString& file) {
    return QFile::encodeName(file).toStdString();
}

} // namespace

EngineVoice::EngineVoice(std::function<audio::AudioEngine*()> engine, QString file, QObject* parent)
    : QObject(parent), m_engine(std::move(engine)), m_file(std::move(file)) {
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &EngineVoice::pollDecoding);
}

void EngineVoice::playFromStart() {
    stop();
    audio::AudioEngine* engine = m_engine ? m_engine() : nullptr;
    if (!engine) {
        return;
    }
    audio::SampleCache& cache = engine->samples();
    const std::string path = nativePath(m_file);
    cache.preloadFile(path);
    switch (cache.availability(path)) {
    case audio::SampleCache::Availability::Ready:
        startNow(*engine);
        break;
    case audio::SampleCache::Availability::Decoding:
        m_waiting = true;
        m_poll.start();
        break;
    case audio::SampleCache::Availability::Absent:
        break; // missing or undecodable: the page shows without its voice
    }
}

void EngineVoice::pollDecoding() {
    audio::AudioEngine* engine = m_engine ? m_engine() : nullptr;
    if (!m_waiting || !engine) {
        m_waiting = false;
        m_poll.stop();
        return;
    }
    const auto state = engine->samples().availability(nativePath(m_file));
    if (state == audio::SampleCache::Availability::Decoding) {
        return;
    }
    m_waiting = false;
    m_poll.stop();
    if (state == audio::SampleCache::Availability::Ready) {
        startNow(*engine);
    }
}

void EngineVoice::startNow(audio::AudioEngine& engine) {
    const auto sample = engine.samples().get(nativePath(m_file));
    if (!sample) {
        return;
    }
    audio::Mixer& mixer = engine.mixer();
    const std::optional<audio::VoiceHandle> handle = mixer.openVoice(sample.get());
    if (!handle) {
        return;
    }
    if (!mixer.play(*handle, audio::kStartNow, 1.0f, /*keep=*/true)) {
        mixer.close(*handle);
        return;
    }
    m_handle = handle;
    m_handleEngine = &engine;
    emit started();
}

void EngineVoice::stop() {
    m_waiting = false;
    m_poll.stop();
    closeVoice();
}

void EngineVoice::closeVoice() {
    if (!m_handle) {
        return;
    }
    audio::AudioEngine* engine = m_engine ? m_engine() : nullptr;
    if (engine && engine == m_handleEngine) {
        engine->mixer().close(*m_handle); // a sounding voice fades out quickly
    }
    m_handle.reset();
    m_handleEngine = nullptr;
}

bool EngineVoice::isPlaying() const {
    if (!m_handle) {
        return false;
    }
    audio::AudioEngine* engine = m_engine ? m_engine() : nullptr;
    return engine && engine == m_handleEngine && engine->mixer().isPlaying(*m_handle);
}
