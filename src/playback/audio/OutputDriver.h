#pragma once

namespace audio {

class Mixer;

// A consumer of the mixer's output. Each driver calls Mixer::render from one
// thread of its own; the rate and block size are fixed while it runs.
class OutputDriver {
public:
    virtual ~OutputDriver() = default;
    virtual const char* name() const = 0;
    virtual int sampleRate() const = 0;
    virtual int bufferFrames() const = 0;
    // Starts calling the mixer; the mixer must outlive the driver.
    virtual void start(Mixer& mixer) = 0;
    // Stops calling the mixer; returns once no call is running any more.
    virtual void stop() = 0;
};

} // namespace audio
