#include "playback/audio/OfflineRenderer.h"

#include "playback/audio/Mixer.h"

#include <cerrno>
#include <filesystem>
#include <random>

namespace audio {

namespace {

// Longest file name most Linux file systems take, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

// The temporary file beside `path`. A target name near the length limit
// would make the suffixed name too long, so the name is cut (at a UTF-8
// character boundary) to leave room for the suffix.
std::string temporaryPath(const std::string& path, unsigned number) {
    const std::string suffix = ".tmp-" + std::to_string(number);
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::string name = path.substr(nameStart);
    if (name.size() + suffix.size() > kMaxNameBytes) {
        std::size_t keep = kMaxNameBytes - suffix.size();
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
            --keep;
        }
        name.resize(keep);
    }
    return path.substr(0, nameStart) + name + suffix;
}

} // namespace

OfflineRenderer::OfflineRenderer(Mixer& mixer, int blockFrames)
    : m_mixer(mixer), m_blockFrames(blockFrames), m_buffer(static_cast<std::size_t>(2 * blockFrames)) {}

OfflineRenderer::~OfflineRenderer() {
    abandon();
}

bool OfflineRenderer::open(const std::string& path, Format format, std::string* error) {
    abandon();
    m_path = path;
    m_error.clear();
    m_systemError = 0;
    std::random_device entropy;
    m_tempPath = temporaryPath(path, entropy() % 1000000u);
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
    errno = 0;
    m_file = sf_open(m_tempPath.c_str(), SFM_WRITE, &info);
    if (!m_file) {
        m_systemError = errno;
        m_tempPath.clear();
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
    errno = 0;
    if (sf_writef_float(m_file, m_buffer.data(), frames) != frames) {
        m_systemError = errno;
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
    errno = 0;
    const int closeResult = sf_close(m_file);
    const int closeErrno = errno;
    m_file = nullptr;
    std::error_code ec;
    if (closeResult == 0 && m_error.empty()) {
        std::filesystem::rename(m_tempPath, m_path, ec);
        if (!ec) {
            m_tempPath.clear();
            return true;
        }
        m_error = m_path + ": " + ec.message();
        m_systemError = ec.value();
    } else if (m_error.empty()) {
        m_error = m_path + ": " + sf_error_number(closeResult);
        m_systemError = closeErrno;
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
