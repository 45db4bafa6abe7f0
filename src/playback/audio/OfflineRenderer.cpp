#include "playback/audio/OfflineRenderer.h"

#include "playback/audio/Mixer.h"

#include <filesystem>
#include <random>

namespace audio {

OfflineRenderer::OfflineRenderer(Mixer& mixer, int blockFrames)
    : m_mixer(mixer), m_blockFrames(blockFrames), m_buffer(static_cast<std::size_t>(2 * blockFrames)) {}

OfflineRenderer::~OfflineRenderer() {
    abandon();
}

bool OfflineRenderer::open(const std::string& path, Format format, std::string* error) {
    abandon();
    m_path = path;
    std::random_device entropy;
    m_tempPath = path + ".tmp-" + std::to_string(entropy() % 1000000u);
    SF_INFO info{};
    info.samplerate = m_mixer.sampleRate();
    info.channels = 2;
    switch (format) {
    case Format::Pcm16:
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        break;
    case Format::Float32:
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        break;
    case Format::Flac16:
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        break;
    }
    m_file = sf_open(m_tempPath.c_str(), SFM_WRITE, &info);
    if (!m_file) {
        m_error = path + ": " + sf_strerror(nullptr);
        if (error) {
            *error = m_error;
        }
        return false;
    }
    // Keeps values of exactly +-1.0 from wrapping when converted to 16 bits.
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    m_written = 0;
    return true;
}

bool OfflineRenderer::renderBlock(int frames) {
    m_mixer.render(m_buffer.data(), frames);
    if (!m_file) {
        return true;
    }
    if (sf_writef_float(m_file, m_buffer.data(), frames) != frames) {
        m_error = m_path + ": " + sf_strerror(m_file);
        return false;
    }
    m_written += frames;
    return true;
}

bool OfflineRenderer::renderUntil(std::int64_t frame) {
    while (m_mixer.frameClock() < frame) {
        const std::int64_t left = frame - m_mixer.frameClock();
        if (!renderBlock(static_cast<int>(std::min<std::int64_t>(left, m_blockFrames)))) {
            return false;
        }
    }
    return true;
}

bool OfflineRenderer::renderRingOut(std::int64_t maxFrames) {
    const std::int64_t limit = m_mixer.frameClock() + maxFrames;
    do {
        if (!renderBlock(m_blockFrames)) {
            return false;
        }
    } while ((m_mixer.activeVoices() > 0 || m_mixer.commandsPending()) && m_mixer.frameClock() < limit);
    return true;
}

bool OfflineRenderer::commit(std::string* error) {
    if (!m_file) {
        if (error) {
            *error = m_error.empty() ? std::string("no file is open") : m_error;
        }
        return false;
    }
    sf_write_sync(m_file);
    const int closeResult = sf_close(m_file);
    m_file = nullptr;
    std::error_code ec;
    if (closeResult == 0 && m_error.empty()) {
        std::filesystem::rename(m_tempPath, m_path, ec);
        if (!ec) {
            m_tempPath.clear();
            return true;
        }
        m_error = m_path + ": " + ec.message();
    } else if (m_error.empty()) {
        m_error = m_path + ": " + sf_error_number(closeResult);
    }
    std::filesystem::remove(m_tempPath, ec);
    m_tempPath.clear();
    if (error) {
        *error = m_error;
    }
    return false;
}

void OfflineRenderer::abandon() {
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        std::error_code ec;
        std::filesystem::remove(m_tempPath, ec);
        m_tempPath.clear();
    }
}

} // namespace audio
