#include "audio/TransportModel.h"

namespace audio {

void TransportModel::SetTransportState(TransportState state)
{
    state_ = state;
    for (const StateListener& listener : stateListeners_)
        listener(state);
}

void TransportModel::setChannel(Handle channel)
{
    channel_ = channel;
    for (const ChannelListener& listener : channelListeners_)
        listener(channel);
}

} // namespace audio
