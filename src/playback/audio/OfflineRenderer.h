#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace audio {

class Mixer;

// Renders the mixer's output to a sound file as fast as the CPU allows, on the
// caller's thread, which is also the thread that sends the mixer its
// commands. The output follows the programs' one rule for paths (see
// base/OutputTarget.h): a file, or a link's target, is written whole or not
// at all (frames go to a temporary file beside it, renamed over it by
// commit()); a device, pipe or socket, or "-" for standard output, is
// written straight to as the frames come, a WAV header then giving the
// largest length, as streamed WAV does (the true one when standard output
// is a file).
class OfflineRenderer {
public:
    // WAV of 16-bit or float samples, FLAC of 16-bit samples, or MP3 at a
    // constant kMp3Kbps (the format every web browser plays).
    enum class Format { Pcm16, Float32, Flac16, Mp3 };
    static constexpr int kMp3Kbps = 112;

    // The descriptor a file is written to through libsndfile, with the first
    // failed write kept (an encoder may not pass it on).
    struct Sink {
        int fd = -1;
        int error = 0;
    };

    explicit OfflineRenderer(Mixer& mixer, int blockFrames = 256);
    ~OfflineRenderer(); // abandons an uncommitted file

    OfflineRenderer(const OfflineRenderer&) = delete;
    OfflineRenderer& operator=(const OfflineRenderer&) = delete;

    // "-" is standard output.
    bool open(const std::string& path, Format format, std::string* error);
    // Renders until the mixer's frame clock reaches `frame`.
    bool renderUntil(std::int64_t frame);
    // Renders until every voice has rung out (at most `maxFrames` more frames).
    bool renderRingOut(std::int64_t maxFrames);
    bool commit(std::string* error);
    void abandon();

    std::int64_t framesWritten() const { return m_written; }
    const std::string& error() const { return m_error; }
    // The errno of the failure, 0 when the system gave none.
    int systemError() const { return m_systemError; }

    // Whether the output is written straight to a device, pipe or socket.
    bool streaming() const { return m_streaming; }

private:
    bool renderBlock(int frames);
    bool openStream(int fd, bool ownsFd, Format format);
    static int sndfileFormat(Format format);
    bool fail(const std::string& what, int systemError);
    void closeOutput();

    Mixer& m_mixer;
    const int m_blockFrames;
    std::vector<float> m_buffer;
    SNDFILE* m_file = nullptr;
    Sink m_sink;
    std::string m_path;
    std::string m_tempPath; // empty when streaming
    std::string m_finalPath; // the file the temporary file becomes (a link resolved)
    int m_fd = -1;
    bool m_ownsFd = false;
    bool m_streaming = false;

    std::string m_error;
    int m_systemError = 0;
    std::int64_t m_written = 0;
};

} // namespace audio
