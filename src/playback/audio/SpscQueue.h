#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <type_traits>

namespace audio {

// A fixed ring of plain-data items between exactly one producer thread and
// exactly one consumer thread, without locks and without allocation. One
// slot stays empty to tell a full ring from an empty one.
template <typename T, std::size_t Capacity> class SpscQueue {
    static_assert(std::is_trivially_copyable_v<T>, "queue items must be plain data");
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

public:
    // Producer side.
    bool push(const T& item) noexcept {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        const std::size_t next = (tail + 1) & kMask;
        if (next == m_head.load(std::memory_order_acquire)) {
            return false;
        }
        m_items[tail] = item;
        m_tail.store(next, std::memory_order_release);
        return true;
    }

    // Producer side: how many pushes will succeed at least.
    std::size_t freeSpace() const noexcept {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        const std::size_t head = m_head.load(std::memory_order_acquire);
        return Capacity - 1 - ((tail - head) & kMask);
    }

    // Consumer side.
    bool pop(T& item) noexcept {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire)) {
            return false;
        }
        item = m_items[head];
        m_head.store((head + 1) & kMask, std::memory_order_release);
        return true;
    }

    // Either side: a snapshot that may be stale by the time it is read.
    bool empty() const noexcept {
        return m_head.load(std::memory_order_acquire) == m_tail.load(std::memory_order_acquire);
    }

private:
    static constexpr std::size_t kMask = Capacity - 1;

    alignas(64) std::atomic<std::size_t> m_head{0};
    alignas(64) std::atomic<std::size_t> m_tail{0};
    alignas(64) std::array<T, Capacity> m_items{};
};

} // namespace audio
