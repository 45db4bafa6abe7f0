#pragma once

#include "playback/audio/Sample.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace audio {

// Decoded samples keyed by path, each decoded once and kept for the life of
// the cache: voices refer to cached samples by plain pointer, so an entry is
// never dropped once it has decoded.
//
// A folder can be decoded on a background thread (the whole sample set at
// start-up). A request for a sample that nobody has started decoding decodes
// it at once on the caller's thread; a request for one that the background
// thread is decoding waits for that sample only.
class SampleCache {
public:
    explicit SampleCache(int sampleRate);
    ~SampleCache();

    SampleCache(const SampleCache&) = delete;
    SampleCache& operator=(const SampleCache&) = delete;

    int sampleRate() const { return m_sampleRate; }

    // The decoded sample, or null (with `error` set) when the file is missing
    // or cannot be decoded. A failure is not remembered: a file that appears
    // later is decoded on the next request.
    std::shared_ptr<const Sample> get(const std::string& path, std::string* error = nullptr);

    // Queues every .wav and .mp3 file of the folder (not its subfolders) for
    // decoding on the background thread. Returns at once.
    void preloadFolder(const std::string& folder);

    // Where a file stands: not in the cache (never asked for, or it failed to
    // decode), being decoded, or decoded.
    enum class Availability { Absent, Decoding, Ready };
    Availability availability(const std::string& path) const;

    // Queues one file for decoding on the background thread, ahead of any
    // folder still being preloaded, and returns at once. The file counts as
    // Decoding from this call on, so a caller polling availability() never
    // mistakes "not started yet" for "failed". For long sounds (spoken
    // commentary) that must not hold up the caller's thread.
    void preloadFile(const std::string& path);

    // Blocks until the background thread has nothing left to do.
    void waitForPreload();

    // Whether the sample has finished decoding successfully.
    bool isReady(const std::string& path) const;

    static std::string keyFor(const std::string& path);

private:
    using Result = std::shared_ptr<const Sample>;

    struct Entry {
        std::shared_future<Result> result;
        bool ready = false;
    };

    Result decodeClaimed(const std::string& key, std::promise<Result>& promise, std::string* error);
    void preloadLoop();
    // Decodes the files queued by preloadFile; background thread only.
    void serveQueuedFiles();
    void startThreadLocked();

    const int m_sampleRate;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::map<std::string, Entry> m_entries;
    std::deque<std::string> m_pendingFolders;
    // Files claimed by preloadFile, each with the promise its entry waits on.
    std::deque<std::pair<std::string, std::promise<Result>>> m_pendingFiles;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace audio
