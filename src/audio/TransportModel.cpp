#include "audio/TransportModel.h"

namespace audio {

void TransportModel::SetTransportState(TransportState state)
{
    state_ = state;
    if (state == Idle)
        stop_ = nullptr;
    for (const StateListener& listener : stateListeners_)
        listener(state);
}

void TransportModel::setChannel(Handle channel)
{
    channel_ = channel;
    for (const ChannelListener& listener : channelListeners_)
        listener(channel);
}

void TransportModel::stop()
{
    // A copy: stopping sets Idle, which forgets the original.
    if (std::function<void()> stop = stop_; state_ != Idle && stop)
        stop();
}

} // namespace audio
