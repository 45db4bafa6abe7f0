// Built with full loop vectorisation (see src/CMakeLists.txt): each loop is
// written as one plain pass over contiguous values, a shape the compiler
// turns into vector code; target_clones adds an AVX2 copy of each and picks
// the right one when the program loads.

#include "playback/audio/VoiceLoop.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace audio::voiceloop {

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
#define CAMPANIX_VOICE_LOOP_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define CAMPANIX_VOICE_LOOP_CLONES
#endif

CAMPANIX_VOICE_LOOP_CLONES
void addStereo(float* __restrict dst, const std::int16_t* __restrict src, int frames, float gain) noexcept {
    const int count = 2 * frames;
    for (int i = 0; i < count; ++i) {
        dst[i] += static_cast<float>(src[i]) * gain;
    }
}

CAMPANIX_VOICE_LOOP_CLONES
void addMono(float* __restrict dst, const std::int16_t* __restrict src, int frames, float gain) noexcept {
    for (int i = 0; i < frames; ++i) {
        const float value = static_cast<float>(src[i]) * gain;
        dst[2 * i] += value;
        dst[2 * i + 1] += value;
    }
}

// The steady voices, with the processor's vector instructions: eight floats
// at a time with AVX2 and FMA, four with SSE2 (every x86-64 has it). Both
// add the voices in the same order; the fused multiply-add rounds once where
// SSE2 rounds twice, so the two differ in the last bit of a float at most
// per voice, far below the step of 16-bit output.
#if defined(__x86_64__) && defined(__GNUC__)

namespace {

constexpr int kTileFrames = 16;     // SSE2: eight registers of sums
constexpr int kWideTileFrames = 32; // AVX2: eight registers of sums

// 32 frames a tile: eight independent sums of stereo values, so that the
// additions of one voice do not wait for each other.
__attribute__((target("avx2,fma"))) void addSteadyTilesAvx2(float* dst, int tiles,
                                                            const SteadyVoices& voices) {
    const __m256i spread = _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
    const __m256i spreadHigh = _mm256_setr_epi32(4, 4, 5, 5, 6, 6, 7, 7);
    for (int t = 0; t < tiles; ++t) {
        const int frame = t * kWideTileFrames;
        float* out = dst + 2 * frame;
        __m256 acc[8];
        for (int k = 0; k < 8; ++k) {
            acc[k] = _mm256_loadu_ps(out + 8 * k);
        }
        for (int v = 0; v < voices.stereoCount; ++v) {
            const std::int16_t* src = voices.stereo[v] + 2 * frame;
            const __m256 gain = _mm256_set1_ps(voices.stereoGain[v]);
            for (int k = 0; k < 8; ++k) {
                const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * k));
                acc[k] = _mm256_fmadd_ps(_mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(values)), gain, acc[k]);
            }
        }
        if (voices.monoCount > 0) {
            __m256 mono[4] = {_mm256_setzero_ps(), _mm256_setzero_ps(), _mm256_setzero_ps(),
                              _mm256_setzero_ps()};
            for (int v = 0; v < voices.monoCount; ++v) {
                const std::int16_t* src = voices.mono[v] + frame;
                const __m256 gain = _mm256_set1_ps(voices.monoGain[v]);
                for (int k = 0; k < 4; ++k) {
                    const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 8 * k));
                    mono[k] = _mm256_add_ps(
                        mono[k], _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(values)), gain));
                }
            }
            // Both channels of frame f take mono value f.
            for (int k = 0; k < 4; ++k) {
                acc[2 * k] = _mm256_add_ps(acc[2 * k], _mm256_permutevar8x32_ps(mono[k], spread));
                acc[2 * k + 1] = _mm256_add_ps(acc[2 * k + 1], _mm256_permutevar8x32_ps(mono[k], spreadHigh));
            }
        }
        for (int k = 0; k < 8; ++k) {
            _mm256_storeu_ps(out + 8 * k, acc[k]);
        }
    }
}

// Eight 16-bit values as two vectors of four floats.
inline void widenSse2(const std::int16_t* src, __m128& low, __m128& high) {
    const __m128i values = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    low = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(values, values), 16));
    high = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(values, values), 16));
}

void addSteadyTilesSse2(float* dst, int tiles, const SteadyVoices& voices) {
    for (int t = 0; t < tiles; ++t) {
        const int frame = t * kTileFrames;
        float* out = dst + 2 * frame;
        __m128 acc[8];
        for (int k = 0; k < 8; ++k) {
            acc[k] = _mm_loadu_ps(out + 4 * k);
        }
        for (int v = 0; v < voices.stereoCount; ++v) {
            const std::int16_t* src = voices.stereo[v] + 2 * frame;
            const __m128 gain = _mm_set1_ps(voices.stereoGain[v]);
            for (int k = 0; k < 4; ++k) {
                __m128 low;
                __m128 high;
                widenSse2(src + 8 * k, low, high);
                acc[2 * k] = _mm_add_ps(acc[2 * k], _mm_mul_ps(low, gain));
                acc[2 * k + 1] = _mm_add_ps(acc[2 * k + 1], _mm_mul_ps(high, gain));
            }
        }
        if (voices.monoCount > 0) {
            __m128 mono[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps()};
            for (int v = 0; v < voices.monoCount; ++v) {
                const std::int16_t* src = voices.mono[v] + frame;
                const __m128 gain = _mm_set1_ps(voices.monoGain[v]);
                for (int k = 0; k < 2; ++k) {
                    __m128 low;
                    __m128 high;
                    widenSse2(src + 8 * k, low, high);
                    mono[2 * k] = _mm_add_ps(mono[2 * k], _mm_mul_ps(low, gain));
                    mono[2 * k + 1] = _mm_add_ps(mono[2 * k + 1], _mm_mul_ps(high, gain));
                }
            }
            for (int k = 0; k < 4; ++k) {
                acc[2 * k] = _mm_add_ps(acc[2 * k], _mm_unpacklo_ps(mono[k], mono[k]));
                acc[2 * k + 1] = _mm_add_ps(acc[2 * k + 1], _mm_unpackhi_ps(mono[k], mono[k]));
            }
        }
        for (int k = 0; k < 8; ++k) {
            _mm_storeu_ps(out + 4 * k, acc[k]);
        }
    }
}

bool hasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

const bool kAvx2 = hasAvx2();

} // namespace

bool available(Variant variant) noexcept {
    return variant == Variant::Sse2 || kAvx2;
}

void addSteady(float* __restrict dst, int frames, const SteadyVoices& voices) noexcept {
    addSteady(dst, frames, voices, kAvx2 ? Variant::Avx2 : Variant::Sse2);
}

void addSteady(float* __restrict dst, int frames, const SteadyVoices& voices, Variant variant) noexcept {
    const bool wide = variant == Variant::Avx2 && kAvx2;
    const int tile = wide ? kWideTileFrames : kTileFrames;
    const int tiles = frames / tile;
    if (wide) {
        addSteadyTilesAvx2(dst, tiles, voices);
    } else {
        addSteadyTilesSse2(dst, tiles, voices);
    }
    const int done = tiles * tile;
    for (int v = 0; v < voices.stereoCount && done < frames; ++v) {
        addStereo(dst + 2 * done, voices.stereo[v] + 2 * done, frames - done, voices.stereoGain[v]);
    }
    for (int v = 0; v < voices.monoCount && done < frames; ++v) {
        addMono(dst + 2 * done, voices.mono[v] + done, frames - done, voices.monoGain[v]);
    }
}

#else

bool available(Variant variant) noexcept {
    return variant == Variant::Sse2;
}

void addSteady(float* __restrict dst, int frames, const SteadyVoices& voices, Variant) noexcept {
    addSteady(dst, frames, voices);
}

void addSteady(float* __restrict dst, int frames, const SteadyVoices& voices) noexcept {
    for (int v = 0; v < voices.stereoCount; ++v) {
        addStereo(dst, voices.stereo[v], frames, voices.stereoGain[v]);
    }
    for (int v = 0; v < voices.monoCount; ++v) {
        addMono(dst, voices.mono[v], frames, voices.monoGain[v]);
    }
}

#endif

// Fades are short (a few milliseconds, a handful of voices at a time): plain
// scalar code is enough.
int addFading(float* __restrict dst, const std::int16_t* __restrict src, int channels, int frames, float gain,
              float& fade, float step) noexcept {
    float level = fade;
    int i = 0;
    for (; i < frames && level > 0.0f; ++i) {
        const float g = gain * level;
        dst[2 * i] += static_cast<float>(src[i * channels]) * g;
        dst[2 * i + 1] += static_cast<float>(src[i * channels + channels - 1]) * g;
        level -= step;
    }
    fade = level;
    return i;
}

const char* variant() noexcept {
#if defined(__x86_64__) && defined(__GNUC__)
    return kAvx2 ? "avx2+fma" : "sse2";
#else
    return "generic";
#endif
}

} // namespace audio::voiceloop
