#include "playback/audio/OfflineRenderer.h"

#include "playback/audio/Mixer.h"

#include "base/OutputTarget.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace audio {

namespace {

constexpr int kChannels = 2;
// The lengths of a streamed WAV whose end is not known yet, as streaming
// programs write them: the largest the fields hold.
constexpr std::uint32_t kUnknownLength = 0xFFFFFFFFu;

void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFFu);
    }
}

// A plain 44-byte WAV header of 16-bit or float samples whose length is not
// known yet.
std::string wavHeader(int rate, bool isFloat) {
    const int sampleBytes = isFloat ? 4 : 2;
    std::string header = "RIFF";
    putLe(header, kUnknownLength, 4);
    header += "WAVEfmt ";
    putLe(header, 16, 4);
    putLe(header, isFloat ? 3 : 1, 2); // PCM or IEEE float
    putLe(header, kChannels, 2);
    putLe(header, static_cast<std::uint32_t>(rate), 4);
    putLe(header, static_cast<std::uint32_t>(rate * kChannels * sampleBytes), 4);
    putLe(header, static_cast<std::uint32_t>(kChannels * sampleBytes), 2);
    putLe(header, static_cast<std::uint32_t>(8 * sampleBytes), 2);
    header += "data";
    putLe(header, kUnknownLength, 4);
    return header;
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

bool OfflineRenderer::fail(const std::string& what, int systemError) {
    m_systemError = systemError;
    m_error = m_path + ": " + what;
    return false;
}

bool OfflineRenderer::open(const std::string& path, Format format, std::string* error) {
    abandon();
    m_path = path;
    m_error.clear();
    m_systemError = 0;
    m_written = 0;
    const auto failed = [this, error](const std::string& what, int systemError) {
        fail(what, systemError);
        closeOutput();
        if (error) {
            *error = m_error;
        }
        return false;
    };
    const auto streamFailed = [this, error] {
        closeOutput();
        if (error) {
            *error = m_error;
        }
        return false;
    };
    if (path == "-") {
        return openStream(STDOUT_FILENO, false, format) || streamFailed();
    }
    const OutputTarget target = classifyOutput(path);
    if (target.kind == OutputTarget::Kind::Refused) {
        return failed(target.error, target.systemError);
    }
    if (target.kind == OutputTarget::Kind::Stream) {
        const int fd = openStreamTarget(target);
        if (fd < 0) {
            return failed(std::strerror(errno), errno);
        }
        return openStream(fd, true, format) || streamFailed();
    }
    m_fd = createTemporaryBeside(target.path, &m_tempPath);
    if (m_fd < 0) {
        return failed(std::strerror(errno), errno);
    }
    m_ownsFd = true;
    m_finalPath = target.path;
    SF_INFO info{};
    info.samplerate = m_mixer.sampleRate();
    info.channels = kChannels;
    info.format = sndfileFormat(format);
    // Written through checked calls of our own: the MP3 encoder does not pass
    // a failed write on.
    m_sink = Sink{};
    m_sink.fd = m_fd;
    m_file = sf_open_virtual(&sinkCalls, SFM_WRITE, &info, &m_sink);
    if (!m_file) {
        return failed(sf_strerror(nullptr), m_sink.error);
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
    return true;
}

int OfflineRenderer::sndfileFormat(Format format) {
    switch (format) {
    case Format::Pcm16:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case Format::Float32:
        return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    case Format::Flac16:
        return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    case Format::Mp3:
        return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return 0;
}

bool OfflineRenderer::openStream(int fd, bool ownsFd, Format format) {
    m_fd = fd;
    m_ownsFd = ownsFd;
    m_streaming = true;
    SF_INFO info{};
    info.samplerate = m_mixer.sampleRate();
    info.channels = kChannels;
    info.format = sndfileFormat(format);
    struct stat node {};
    const bool regular = fstat(fd, &node) == 0 && S_ISREG(node.st_mode);
    if (regular && lseek(fd, 0, SEEK_CUR) != 0) {
        // Standard output appended to a file: a sound file cannot start there.
        return fail("the output already holds other bytes; name the file instead", EINVAL);
    }
    if (!regular && (format == Format::Pcm16 || format == Format::Float32)) {
        // A WAV file counts its length in its header, which a pipe cannot
        // have rewritten: the header goes first with the largest length, as
        // streamed WAV does, then the samples as they come. (FLAC is made to
        // be streamed, and a regular file, standard output redirected to
        // one, can have its header rewritten.)
        const bool isFloat = format == Format::Float32;
        const std::string header = wavHeader(m_mixer.sampleRate(), isFloat);
        if (!writeAll(fd, header.data(), header.size())) {
            return fail(std::strerror(errno), errno);
        }
        info.format = SF_FORMAT_RAW | SF_ENDIAN_LITTLE | (isFloat ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
    }
    errno = 0;
    m_file = sf_open_fd(fd, SFM_WRITE, &info, SF_FALSE);
    if (!m_file) {
        return fail(sf_strerror(nullptr), errno);
    }
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool OfflineRenderer::renderBlock(int frames) {
    m_mixer.render(m_buffer.data(), frames);
    if (!m_file) {
        return true;
    }
    errno = 0;
    if (sf_writef_float(m_file, m_buffer.data(), frames) != frames || m_sink.error != 0) {
        m_systemError = m_sink.error != 0 ? m_sink.error : errno;
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
    const auto failed = [this, error] {
        closeOutput();
        if (error) {
            *error = m_error;
        }
        return false;
    };
    if (!m_file) {
        if (m_error.empty()) {
            m_error = "no file is open";
        }
        return failed();
    }
    if (!m_error.empty()) {
        return failed();
    }
    sf_write_sync(m_file);
    errno = 0;
    const int closeResult = sf_close(m_file);
    m_file = nullptr;
    // The encoder's last frames and tags are written at the close.
    if (m_sink.error != 0) {
        fail(std::strerror(m_sink.error), m_sink.error);
        return failed();
    }
    if (closeResult != 0) {
        fail(sf_error_number(closeResult), errno);
        return failed();
    }
    if (!m_streaming) {
        const int fd = m_fd;
        m_fd = -1;
        if (!commitTemporary(fd, m_tempPath, m_finalPath)) {
            m_tempPath.clear();
            fail(std::strerror(errno), errno);
            return failed();
        }
        m_tempPath.clear();
        return true;
    }
    if (m_ownsFd) {
        const int fd = m_fd;
        m_fd = -1;
        if (close(fd) != 0) {
            fail(std::strerror(errno), errno);
            return failed();
        }
    }
    closeOutput();
    return true;
}

void OfflineRenderer::closeOutput() {
    if (m_file) {
        sf_close(m_file);
        m_file = nullptr;
    }
    if (m_fd >= 0 && m_ownsFd) {
        close(m_fd);
    }
    m_fd = -1;
    m_ownsFd = false;
    m_sink = Sink{};
    if (!m_tempPath.empty()) {
        unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
    m_streaming = false;
}

void OfflineRenderer::abandon() {
    closeOutput();
}

} // namespace audio
