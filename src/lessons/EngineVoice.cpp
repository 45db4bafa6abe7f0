#include "lessons/EngineVoice.h"

#include "playback/audio/AudioEngine.h"

#include <QFile>

namespace {

// How often a waiting play looks whether the start of the file is decoded.
constexpr int kPollMilliseconds = 10;

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
    // A fresh stream every time: a stream plays once, from its start.
    m_stream = engine->streams().open(nativePath(m_file));
    m_handleEngine = engine;
    m_waiting = true;
    pollDecoding();
    if (m_waiting) {
        m_poll.start();
    }
}

void EngineVoice::pollDecoding() {
    audio::AudioEngine* engine = m_engine ? m_engine() : nullptr;
    if (!m_waiting || !m_stream || !engine || engine != m_handleEngine) {
        stop();
        return;
    }
    const auto state = m_stream->state();
    if (state == audio::VoiceStreamer::State::Opening) {
        return;
    }
    m_waiting = false;
    m_poll.stop();
    if (state == audio::VoiceStreamer::State::Ready) {
        startNow(*engine);
    } else {
        m_stream.reset(); // missing or undecodable: the page shows without its voice
        m_handleEngine = nullptr;
    }
}

void EngineVoice::startNow(audio::AudioEngine& engine) {
    audio::Mixer& mixer = engine.mixer();
    const std::optional<audio::VoiceHandle> handle = mixer.openVoice(m_stream->stream());
    if (!handle) {
        return;
    }
    if (!mixer.play(*handle, audio::kStartNow, 1.0f, /*keep=*/true)) {
        mixer.close(*handle);
        return;
    }
    m_handle = handle;
    emit started();
}

void EngineVoice::stop() {
    m_waiting = false;
    m_poll.stop();
    closeVoice();
}

void EngineVoice::closeVoice() {
    audio::AudioEngine* engine = m_engine ? m_engine() : nullptr;
    if (m_handle && engine && engine == m_handleEngine) {
        engine->mixer().close(*m_handle); // a sounding voice fades out quickly
    }
    m_handle.reset();
    // The mixer holds the stream through its fade; the streamer frees it after.
    m_stream.reset();
    m_handleEngine = nullptr;
}

bool EngineVoice::isPlaying() const {
    if (!m_handle) {
        return false;
    }
    audio::AudioEngine* engine = m_engine ? m_engine() : nullptr;
    return engine && engine == m_handleEngine && engine->mixer().isPlaying(*m_handle);
}
