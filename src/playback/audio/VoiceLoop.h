#pragma once

#include <cstdint>

// The mixer's inner loops: 16-bit sample frames, scaled by a voice's gain,
// added into the interleaved stereo float bus. They run on the audio thread
// (no allocation, no locks) and are built twice, for the x86-64 baseline
// (SSE2) and for AVX2, the processor choosing at load time, so the program
// runs on any x86-64 and uses the wider vectors where they exist.
namespace audio::voiceloop {

// dst[2 i + c] += src[2 i + c] * gain for `frames` stereo frames.
void addStereo(float* __restrict dst, const std::int16_t* __restrict src, int frames, float gain) noexcept;
// dst[2 i] and dst[2 i + 1] += src[i] * gain for `frames` mono frames.
void addMono(float* __restrict dst, const std::int16_t* __restrict src, int frames, float gain) noexcept;
// A voice fading out: the gain is `gain * fade`, the fade falling by `step`
// after each frame. Stops when the fade reaches 0 or after `frames` frames;
// returns the frames mixed and leaves the fade where it ended.
int addFading(float* __restrict dst, const std::int16_t* __restrict src, int channels, int frames, float gain,
              float& fade, float step) noexcept;

// Voices that sound through a whole block of `frames` frames at a steady
// gain, summed 16 frames at a time in registers and added to dst once:
// stereo[v] (interleaved) times stereoGain[v], then mono[v] times
// monoGain[v] on both channels. Each source points at the voice's first
// frame of the block. Sums in the same order as one addStereo/addMono call
// per voice would (with AVX2, each product and sum rounded once).
struct SteadyVoices {
    const std::int16_t* const* stereo = nullptr;
    const float* stereoGain = nullptr;
    int stereoCount = 0;
    const std::int16_t* const* mono = nullptr;
    const float* monoGain = nullptr;
    int monoCount = 0;
};
void addSteady(float* __restrict dst, int frames, const SteadyVoices& voices) noexcept;

// The same with a chosen variant (checks and benchmarks); a variant the
// processor lacks falls back to SSE2.
enum class Variant { Sse2, Avx2 };
bool available(Variant variant) noexcept;
void addSteady(float* __restrict dst, int frames, const SteadyVoices& voices, Variant variant) noexcept;

// The variant the processor runs: "avx2+fma" or "sse2".
const char* variant() noexcept;

} // namespace audio::voiceloop
