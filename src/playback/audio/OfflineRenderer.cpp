#include "playback/audio/OfflineRenderer.h"

#include "playback/audio/Mixer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

// The file under libsndfile, through our own calls: the MP3 encoder does not
// pass a failed write on (a full disk gives a cut file and a successful
// close), so every write is checked here and the first failure kept.
sf_count_t sinkLength(void* user) {
    struct stat info {};
    return fstat(static_cast<OfflineRenderer::Sink*>(user)->fd, &info) == 0 ? info.st_size : -1;
}

sf_count_t sinkSeek(sf_count_t offset, int whence, void* user) {
    return lseek(static_cast<OfflineRenderer::Sink*>(user)->fd, offset, whence);
}

sf_count_t sinkRead(void* data, sf_count_t bytes, void* user) {
    const ssize_t got = read(static_cast<OfflineRenderer::Sink*>(user)->fd, data, static_cast<size_t>(bytes));
    return got < 0 ? 0 : got;
}

sf_count_t sinkWrite(const void* data, sf_count_t bytes, void* user) {
    auto* sink = static_cast<OfflineRenderer::Sink*>(user);
    const char* from = static_cast<const char*>(data);
    sf_count_t done = 0;
    while (done < bytes) {
        const ssize_t wrote = write(sink->fd, from + done, static_cast<size_t>(bytes - done));
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            if (sink->error == 0) {
                sink->error = wrote < 0 ? errno : ENOSPC;
            }
            break;
        }
        done += wrote;
    }
    return done;
}

sf_count_t sinkTell(void* user) {
    return lseek(static_cast<OfflineRenderer::Sink*>(user)->fd, 0, SEEK_CUR);
}

SF_VIRTUAL_IO sinkCalls{sinkLength, sinkSeek, sinkRead, sinkWrite, sinkTell};

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
    case Format::Mp3:
        info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        break;
    }
    m_sink = Sink{};
    m_sink.fd = ::open(m_tempPath.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_sink.fd < 0) {
        m_systemError = errno;
        m_tempPath.clear();
        m_error = path + ": " + std::strerror(m_systemError);
        if (error) {
            *error = m_error;
        }
        return false;
    }
    m_file = sf_open_virtual(&sinkCalls, SFM_WRITE, &info, &m_sink);
    if (!m_file) {
        m_systemError = m_sink.error;
        m_error = path + ": " + sf_strerror(nullptr);
        closeSink();
        std::error_code ec;
        std::filesystem::remove(m_tempPath, ec);
        m_tempPath.clear();
        if (error) {
            *error = m_error;
        }
        return false;
    }
    // Keeps values of exactly +-1.0 from wrapping when converted to 16 bits.
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    if (format == Format::Mp3) {
        // Constant rate, so that the size follows the length. The encoder maps
        // the level linearly from 320 kbit/s (0) down to 32 kbit/s (1).
        int mode = SF_BITRATE_MODE_CONSTANT;
        sf_command(m_file, SFC_SET_BITRATE_MODE, &mode, sizeof(mode));
        double level = (320.0 - kMp3Kbps) / (320.0 - 32.0);
        sf_command(m_file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof(level));
    }
    m_written = 0;
    return true;
}

bool OfflineRenderer::renderBlock(int frames) {
    m_mixer.render(m_buffer.data(), frames);
    if (!m_file) {
        return true;
    }
    if (sf_writef_float(m_file, m_buffer.data(), frames) != frames || m_sink.error != 0) {
        m_systemError = m_sink.error;
        m_error = m_path + ": " + (m_sink.error != 0 ? std::strerror(m_sink.error) : sf_strerror(m_file));
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
    const int closeResult = sf_close(m_file);
    m_file = nullptr;
    // The encoder's last frames and tags are written at the close.
    int closeErrno = m_sink.error;
    if (closeErrno == 0 && fsync(m_sink.fd) != 0) {
        closeErrno = errno;
    }
    if (!closeSink() && closeErrno == 0) {
        closeErrno = errno;
    }
    std::error_code ec;
    if (closeResult == 0 && closeErrno == 0 && m_error.empty()) {
        std::filesystem::rename(m_tempPath, m_path, ec);
        if (!ec) {
            m_tempPath.clear();
            return true;
        }
        m_error = m_path + ": " + ec.message();
        m_systemError = ec.value();
    } else if (m_error.empty()) {
        m_error =
            m_path + ": " + (closeErrno != 0 ? std::strerror(closeErrno) : sf_error_number(closeResult));
        m_systemError = closeErrno;
    }
    std::filesystem::remove(m_tempPath, ec);
    m_tempPath.clear();
    if (error) {
        *error = m_error;
    }
    return false;
}

bool OfflineRenderer::closeSink() {
    if (m_sink.fd < 0) {
        return true;
    }
    const bool closed = ::close(m_sink.fd) == 0;
    m_sink.fd = -1;
    return closed;
}

void OfflineRenderer::abandon() {
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
    }
    closeSink();
    if (!m_tempPath.empty()) {
        std::error_code ec;
        std::filesystem::remove(m_tempPath, ec);
        m_tempPath.clear();
    }
}

} // namespace audio
