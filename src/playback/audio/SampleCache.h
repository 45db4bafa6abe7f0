#pragma once

#include "playback/audio/Sample.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace audio {

// Decoded samples keyed by path, each decoded once and kept for the life of
// the cache: voices refer to cached samples by plain pointer, so an entry is
// never dropped once it has decoded.
//
// Decoding (and converting to the output rate, which for a long bell takes a
// noticeable fraction of a second) runs on background threads, one per core
// up to kWorkers, so that a new set is ready in about half the time: a sample
// folder is queued whole (the set at start-up, the new set on a change of
// model row or stereo), and a sample asked for by a strike before its turn
// moves to the front. Two ways to ask:
// - tryGet never waits: it answers the sample when it is ready and nothing
//   otherwise, so the window's thread never stalls on a conversion;
// - get waits for the sample, decoding it on the caller's thread when nobody
//   has started it (offline rendering, where waiting is right).
class SampleCache {
public:
    using Decoder = std::function<std::shared_ptr<const Sample>(const std::string& path, int outputRate,
                                                                std::string* error)>;

    explicit SampleCache(int sampleRate);
    // With another decoder in place of decodeSample (checks use this).
    SampleCache(int sampleRate, Decoder decoder);
    ~SampleCache();

    SampleCache(const SampleCache&) = delete;
    SampleCache& operator=(const SampleCache&) = delete;

    int sampleRate() const { return m_sampleRate; }

    // The decoded sample, or null (with `error` set) when the file is missing
    // or cannot be decoded. A failure is not remembered: a file that appears
    // later is decoded on the next request.
    std::shared_ptr<const Sample> get(const std::string& path, std::string* error = nullptr);

    // The sample when it has decoded; otherwise null at once, with the
    // sample queued first on the background threads (unless it is being
    // decoded already). From this call on the file counts as Decoding until
    // it is ready (or has failed, when it is Absent again).
    std::shared_ptr<const Sample> tryGet(const std::string& path);

    // Queues every .wav, .mp3 and .flac file of the folder (not its subfolders) for
    // decoding on the background thread, ahead of the files of folders
    // queued earlier and not yet started. Returns at once.
    void preloadFolder(const std::string& folder);

    // Blocks until the background thread has nothing left to do.
    void waitForPreload();

    // Whether the sample has finished decoding successfully.
    bool isReady(const std::string& path) const;

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

    // How often get() made its caller wait for a decoding: decoding on the
    // caller's thread or waiting for the background thread's. tryGet never
    // counts here.
    int callerWaits() const { return m_callerWaits.load(); }

    static std::string keyFor(const std::string& path);

private:
    using Result = std::shared_ptr<const Sample>;

    struct Entry {
        std::shared_future<Result> result;
        bool ready = false;
    };

    Result decodeClaimed(const std::string& key, std::promise<Result>& promise, std::string* error);
    void ensureThreads();
    bool hasWork() const;
    void preloadLoop();

    const int m_sampleRate;
    const Decoder m_decoder;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::map<std::string, Entry> m_entries;
    // Work of the background thread, in the order it is taken: samples a
    // strike asked for, then the files of the folder being preloaded, then
    // folders still to be listed.
    std::deque<std::pair<std::string, std::promise<Result>>> m_urgent;
    // Files claimed by preloadFile, each with the promise its entry waits on;
    // taken after the strikes' samples, before the folders' files.
    std::deque<std::pair<std::string, std::promise<Result>>> m_claimed;
    std::deque<std::string> m_files;
    std::deque<std::string> m_pendingFolders;
    int m_busy = 0;
    bool m_stopping = false;
    std::atomic<int> m_callerWaits{0};
    std::vector<std::thread> m_threads;

public:
    // Background threads at most (fewer on a machine with fewer cores).
    static constexpr unsigned kWorkers = 2;
};

} // namespace audio
