#include "playback/audio/SampleCache.h"

#include "playback/audio/SampleDecoder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace audio {

namespace {

bool isSoundFile(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".wav" || ext == ".mp3" || ext == ".flac";
}

std::vector<std::string> soundFilesOf(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
        if (item.is_regular_file(ec) && isSoundFile(item.path())) {
            files.push_back(SampleCache::keyFor(item.path().string()));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

SampleCache::SampleCache(int sampleRate)
    : SampleCache(sampleRate, [](const std::string& path, int rate, std::string* error) {
          return decodeSample(path, rate, error);
      }) {}

SampleCache::SampleCache(int sampleRate, Decoder decoder)
    : m_sampleRate(sampleRate), m_decoder(std::move(decoder)) {}

SampleCache::~SampleCache() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_pendingFolders.clear();
        m_files.clear();
        // Anyone still waiting on a claimed file gets "no sample", not a hang.
        for (auto* queue : {&m_urgent, &m_claimed}) {
            for (auto& [key, promise] : *queue) {
                m_entries.erase(key);
                promise.set_value(nullptr);
            }
            queue->clear();
        }
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads) {
        thread.join();
    }
}

std::string SampleCache::keyFor(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

SampleCache::Result SampleCache::decodeClaimed(const std::string& key, std::promise<Result>& promise,
                                               std::string* error) {
    Result result;
    try {
        result = m_decoder(key, m_sampleRate, error);
    } catch (const std::exception& e) {
        if (error) {
            *error = key + ": " + e.what();
        }
    }
    {
        std::lock_guard lock(m_mutex);
        if (result) {
            m_entries[key].ready = true;
        } else {
            m_entries.erase(key);
        }
    }
    promise.set_value(result);
    return result;
}

std::shared_ptr<const Sample> SampleCache::get(const std::string& path, std::string* error) {
    const std::string key = keyFor(path);
    std::promise<Result> promise;
    {
        std::unique_lock lock(m_mutex);
        auto it = m_entries.find(key);
        if (it != m_entries.end()) {
            if (!it->second.ready) {
                ++m_callerWaits;
            }
            std::shared_future<Result> pending = it->second.result;
            lock.unlock();
            Result result = pending.get();
            if (!result && error) {
                *error = key + ": the file cannot be decoded";
            }
            return result;
        }
        m_entries[key].result = promise.get_future().share();
    }
    ++m_callerWaits;
    return decodeClaimed(key, promise, error);
}

std::shared_ptr<const Sample> SampleCache::tryGet(const std::string& path) {
    const std::string key = keyFor(path);
    std::lock_guard lock(m_mutex);
    auto it = m_entries.find(key);
    if (it != m_entries.end()) {
        // Ready, or on its way: the background thread has claimed it.
        return it->second.ready ? it->second.result.get() : nullptr;
    }
    if (m_stopping) {
        return nullptr;
    }
    std::promise<Result> promise;
    m_entries[key].result = promise.get_future().share();
    m_urgent.emplace_back(key, std::move(promise));
    ensureThreads();
    m_wake.notify_one();
    return nullptr;
}

bool SampleCache::isReady(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    auto it = m_entries.find(keyFor(path));
    return it != m_entries.end() && it->second.ready;
}

SampleCache::Availability SampleCache::availability(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    auto it = m_entries.find(keyFor(path));
    if (it == m_entries.end()) {
        return Availability::Absent;
    }
    return it->second.ready ? Availability::Ready : Availability::Decoding;
}

void SampleCache::preloadFile(const std::string& path) {
    const std::string key = keyFor(path);
    std::lock_guard lock(m_mutex);
    if (m_stopping || m_entries.count(key) != 0) {
        return;
    }
    std::promise<Result> promise;
    m_entries[key].result = promise.get_future().share();
    m_claimed.emplace_back(key, std::move(promise));
    ensureThreads();
    m_wake.notify_one();
}

void SampleCache::preloadFolder(const std::string& folder) {
    std::lock_guard lock(m_mutex);
    if (m_stopping) {
        return;
    }
    // The folder now in use comes first; what an earlier folder had left is
    // dropped (it is queued again when that folder comes back into use).
    m_files.clear();
    m_pendingFolders.clear();
    m_pendingFolders.push_back(folder);
    ensureThreads();
    m_wake.notify_one();
}

void SampleCache::ensureThreads() {
    if (!m_threads.empty()) {
        return;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < std::min(kWorkers, cores); ++i) {
        m_threads.emplace_back([this] { preloadLoop(); });
    }
}

bool SampleCache::hasWork() const {
    return !m_urgent.empty() || !m_claimed.empty() || !m_files.empty() || !m_pendingFolders.empty();
}

void SampleCache::waitForPreload() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_stopping || (!hasWork() && m_busy == 0); });
}

void SampleCache::preloadLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!hasWork() && m_busy == 0) {
            m_idle.notify_all();
        }
        m_wake.wait(lock, [this] { return m_stopping || hasWork(); });
        if (m_stopping) {
            m_idle.notify_all();
            return;
        }
        ++m_busy;
        // Samples a strike or Play asked for, then files claimed by
        // preloadFile, then the files of the folder in use, then folders.
        if (!m_urgent.empty() || !m_claimed.empty()) {
            auto& queue = !m_urgent.empty() ? m_urgent : m_claimed;
            auto job = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            decodeClaimed(job.first, job.second, nullptr);
            lock.lock();
        } else if (!m_files.empty()) {
            const std::string key = std::move(m_files.front());
            m_files.pop_front();
            // Not when decoded already, or being decoded for someone else.
            if (m_entries.count(key) == 0) {
                std::promise<Result> promise;
                m_entries[key].result = promise.get_future().share();
                lock.unlock();
                decodeClaimed(key, promise, nullptr);
                lock.lock();
            }
        } else {
            const std::string folder = std::move(m_pendingFolders.front());
            m_pendingFolders.pop_front();
            lock.unlock();
            std::vector<std::string> files = soundFilesOf(folder);
            lock.lock();
            // Another folder queued meanwhile replaces this one.
            if (m_pendingFolders.empty()) {
                m_files.assign(files.begin(), files.end());
            }
        }
        --m_busy;
    }
}

} // namespace audio
