#pragma once
// The transport of the main window below the window: the state and the running channel (the
// capture of a recording or the stream of a playback). The recording session and playback
// change it themselves and say how to stop what they started; whoever shows the transport (the
// window's controls, the display, tests) listens to it.
#include "audio/AudioApi.h"
#include "audio/TransportState.h"

#include <functional>
#include <vector>

namespace audio {

class TransportModel {
public:
    using StateListener = std::function<void(TransportState)>;
    using ChannelListener = std::function<void(Handle)>;

    TransportState state() const { return state_; }
    // Channel: valid only outside Idle (a stale handle is harmless to the engine).
    Handle channel() const { return channel_; }

    // SetTransportState: stores the state and tells every listener, also when the state stays
    // the same (the controls depend on the list's selection as well, which may have changed).
    void SetTransportState(TransportState state);
    void setChannel(Handle channel);

    // Stop, whatever runs: whoever takes the transport out of Idle says how to end what it
    // started (the recording session, playback); Idle forgets it. Stop in Idle does nothing.
    void setStop(std::function<void()> stop) { stop_ = std::move(stop); }
    void stop();

    // Listeners are called in the order they were added, for the life of the model.
    void onStateSet(StateListener listener) { stateListeners_.push_back(std::move(listener)); }
    void onChannelSet(ChannelListener listener) { channelListeners_.push_back(std::move(listener)); }

    // A recording or playback runs in every state but Idle. Window activation (the return from
    // any dialog) re-lists the folder and resets the transport only when nothing runs, so a
    // running channel never hides behind an idle window.
    bool activationMayReset() const { return state_ == Idle; }

private:
    TransportState state_ = Idle;
    Handle channel_ = 0;
    std::function<void()> stop_;
    std::vector<StateListener> stateListeners_;
    std::vector<ChannelListener> channelListeners_;
};

} // namespace audio
