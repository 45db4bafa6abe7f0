#pragma once

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace audio {

// While it lives, the calling thread flushes denormal floats to zero (x86:
// FTZ and DAZ in MXCSR; AArch64: FZ in FPCR); the thread's earlier mode comes
// back when it ends. A decaying envelope or tail otherwise creeps down
// through the denormal range, where every operation on it costs tens of
// times more, and stays there during silence. Real-time safe: two register
// writes.
class DenormalGuard {
public:
    DenormalGuard() noexcept {
#if defined(__SSE__) || defined(__x86_64__)
        m_saved = _mm_getcsr();
        _mm_setcsr(m_saved | kFlushToZero | kDenormalsAreZero);
#elif defined(__aarch64__)
        asm volatile("mrs %0, fpcr" : "=r"(m_saved));
        asm volatile("msr fpcr, %0" : : "r"(m_saved | kFlushToZeroA64));
#endif
    }
    ~DenormalGuard() {
#if defined(__SSE__) || defined(__x86_64__)
        _mm_setcsr(m_saved);
#elif defined(__aarch64__)
        asm volatile("msr fpcr, %0" : : "r"(m_saved));
#endif
    }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#if defined(__SSE__) || defined(__x86_64__)
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned m_saved = 0;
#elif defined(__aarch64__)
    static constexpr unsigned long kFlushToZeroA64 = 1ul << 24;
    unsigned long m_saved = 0;
#endif
};

} // namespace audio
