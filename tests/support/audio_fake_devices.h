#pragma once
// A DeviceBackend for tests that plays the device itself: the test pulls output frames and
// pushes input frames on its own thread, as the device's callback thread would, so device
// timing is under the test's control.
#include "audio/DeviceBackend.h"

#include <memory>
#include <mutex>
#include <vector>

namespace testsupport {

class FakeDeviceBackend : public audio::DeviceBackend {
public:
    FakeDeviceBackend();

    bool withInput = true;
    bool withOutput = true;
    // The format the input device really runs at (0: whatever is asked for).
    audio::DeviceFormat inputDeviceFormat{0, 0};
    // Frames the output reports between its callback and the ear.
    std::uint32_t outputLatency = 0;

    bool hasInput() override { return withInput; }
    bool hasOutput() override { return withOutput; }
    std::unique_ptr<audio::DeviceStream> openInput(const std::string& device, audio::DeviceFormat wanted,
                                                   InputProc proc) override;
    std::unique_ptr<audio::DeviceStream> openOutput(audio::DeviceFormat format, OutputProc proc) override;

    // Runs the open, started output stream's callback for `frames` frames and returns what it
    // gave; empty when no output runs.
    std::vector<std::int16_t> pullOutput(std::uint32_t frames);
    // Hands frames to the open, started input stream; false when none runs or it declined.
    bool pushInput(const std::int16_t* samples, std::uint32_t frames);
    int openOutputs() const;
    audio::DeviceFormat outputFormat() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace testsupport
