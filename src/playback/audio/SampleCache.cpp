#include "playback/audio/SampleCache.h"

#include "playback/audio/SampleDecoder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <vector>

namespace audio {

namespace {

bool isSoundFile(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".wav" || ext == ".mp3";
}

} // namespace

SampleCache::SampleCache(int sampleRate) : m_sampleRate(sampleRate) {}

SampleCache::~SampleCache() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_pendingFolders.clear();
        // Anyone still waiting on a queued file gets "no sample", not a hang.
        for (auto& [key, promise] : m_pendingFiles) {
            m_entries.erase(key);
            promise.set_value(nullptr);
        }
        m_pendingFiles.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

std::string SampleCache::keyFor(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

SampleCache::Result SampleCache::decodeClaimed(const std::string& key, std::promise<Result>& promise,
                                               std::string* error) {
    Result result;
    try {
        result = decodeSample(key, m_sampleRate, error);
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
    return decodeClaimed(key, promise, error);
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

void SampleCache::preloadFolder(const std::string& folder) {
    std::lock_guard lock(m_mutex);
    if (m_stopping) {
        return;
    }
    m_pendingFolders.push_back(folder);
    startThreadLocked();
}

void SampleCache::preloadFile(const std::string& path) {
    const std::string key = keyFor(path);
    std::lock_guard lock(m_mutex);
    if (m_stopping || m_entries.count(key) != 0) {
        return;
    }
    std::promise<Result> promise;
    m_entries[key].result = promise.get_future().share();
    m_pendingFiles.emplace_back(key, std::move(promise));
    startThreadLocked();
}

void SampleCache::startThreadLocked() {
    if (!m_thread.joinable()) {
        m_thread = std::thread([this] { preloadLoop(); });
    }
    m_wake.notify_one();
}

void SampleCache::waitForPreload() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_pendingFolders.empty() && m_pendingFiles.empty() && !m_busy; });
}

void SampleCache::serveQueuedFiles() {
    for (;;) {
        std::pair<std::string, std::promise<Result>> job;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping || m_pendingFiles.empty()) {
                return;
            }
            job = std::move(m_pendingFiles.front());
            m_pendingFiles.pop_front();
        }
        decodeClaimed(job.first, job.second, nullptr);
    }
}

void SampleCache::preloadLoop() {
    for (;;) {
        std::optional<std::string> folder;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(
                lock, [this] { return m_stopping || !m_pendingFolders.empty() || !m_pendingFiles.empty(); });
            if (m_stopping) {
                m_busy = false;
                m_idle.notify_all();
                return;
            }
            m_busy = true;
            if (!m_pendingFolders.empty()) {
                folder = std::move(m_pendingFolders.front());
                m_pendingFolders.pop_front();
            }
        }
        serveQueuedFiles();
        if (!folder) {
            std::lock_guard lock(m_mutex);
            m_busy = false;
            if (m_pendingFolders.empty() && m_pendingFiles.empty()) {
                m_idle.notify_all();
            }
            continue;
        }

        std::vector<std::string> files;
        std::error_code ec;
        for (const auto& item : std::filesystem::directory_iterator(*folder, ec)) {
            if (item.is_regular_file(ec) && isSoundFile(item.path())) {
                files.push_back(keyFor(item.path().string()));
            }
        }
        std::sort(files.begin(), files.end());

        for (const std::string& key : files) {
            std::promise<Result> promise;
            {
                std::lock_guard lock(m_mutex);
                if (m_stopping) {
                    break;
                }
                if (m_entries.count(key) != 0) {
                    continue; // decoded already, or being decoded for a strike
                }
                m_entries[key].result = promise.get_future().share();
            }
            decodeClaimed(key, promise, nullptr);
            serveQueuedFiles();
        }

        std::lock_guard lock(m_mutex);
        m_busy = false;
        if (m_pendingFolders.empty() && m_pendingFiles.empty()) {
            m_idle.notify_all();
        }
    }
}

} // namespace audio
