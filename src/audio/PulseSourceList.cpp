#include "audio/PulseSourceList.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdint>

namespace audio {

namespace {

struct Listing {
    std::vector<std::pair<std::uint32_t, PulseSource>> sources;
    std::string defaultSource;
    bool serverDone = false;
    bool done = false;
    bool failed = false;
};

void onServer(pa_context*, const pa_server_info* i, void* user)
{
    auto* listing = static_cast<Listing*>(user);
    if (i && i->default_source_name)
        listing->defaultSource = i->default_source_name;
    listing->serverDone = true;
}

void onSource(pa_context*, const pa_source_info* i, int eol, void* user)
{
    auto* listing = static_cast<Listing*>(user);
    if (eol < 0)
        listing->failed = true;
    if (eol || !i) {
        listing->done = true;
        return;
    }
    PulseSource source{i->name ? i->name : "", i->description ? i->description : (i->name ? i->name : "")};
    if (const char* label = i->proplist ? pa_proplist_gets(i->proplist, PA_PROP_DEVICE_DESCRIPTION) : nullptr)
        source.label = label;
    listing->sources.push_back({i->index, std::move(source)});
}

} // namespace

std::vector<PulseSource> listPulseSources(int timeoutMs)
{
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return {};
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Vexa Recorder capture");
    Listing listing;
    pa_operation* op = nullptr;
    pa_operation* serverOp = nullptr;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        const pa_usec_t deadline = pa_rtclock_now() + pa_usec_t(timeoutMs) * PA_USEC_PER_MSEC;
        while (!(listing.done && listing.serverDone) && !listing.failed && pa_rtclock_now() < deadline) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (!PA_CONTEXT_IS_GOOD(state)) {
                listing.failed = true;
                break;
            }
            if (state == PA_CONTEXT_READY && !op) {
                serverOp = pa_context_get_server_info(context, &onServer, &listing);
                op = pa_context_get_source_info_list(context, &onSource, &listing);
                if (!op || !serverOp) {
                    listing.failed = true;
                    break;
                }
            }
            // Wake at least every 50 ms to look at the deadline.
            pa_mainloop_prepare(loop, 50000);
            pa_mainloop_poll(loop);
            pa_mainloop_dispatch(loop);
        }
    }
    for (pa_operation* o : {op, serverOp}) {
        if (o) {
            pa_operation_cancel(o);
            pa_operation_unref(o);
        }
    }
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    if (!listing.done || !listing.serverDone || listing.failed)
        return {};
    std::stable_sort(listing.sources.begin(), listing.sources.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PulseSource> result;
    for (auto& s : listing.sources) {
        s.second.isDefault = s.second.name == listing.defaultSource;
        result.push_back(std::move(s.second));
    }
    return result;
}

namespace {

using Shown = const std::string& (*)(const PulseSource&);

const std::string& labelOf(const PulseSource& s) { return s.label.empty() ? s.description : s.label; }
const std::string& descriptionOf(const PulseSource& s) { return s.description; }

int findIn(const std::vector<const PulseSource*>& order, const std::vector<std::string>& inputDescriptions,
           const std::string& name, Shown shown)
{
    if (order.size() != inputDescriptions.size())
        return -1;
    int found = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (shown(*order[i]) != inputDescriptions[i])
            return -1;
        if (order[i]->name == name)
            found = int(i);
    }
    return found;
}

// The one device showing what only the source called `name` shows, or -1.
int findUnique(const std::vector<PulseSource>& sources, const std::vector<std::string>& inputDescriptions,
               const std::string& name, Shown shown)
{
    const auto wanted = std::find_if(sources.begin(), sources.end(),
                                     [&](const PulseSource& s) { return s.name == name; });
    if (wanted == sources.end() || shown(*wanted).empty())
        return -1;
    const std::string& text = shown(*wanted);
    if (std::count_if(sources.begin(), sources.end(), [&](const PulseSource& s) { return shown(s) == text; }) != 1
        || std::count(inputDescriptions.begin(), inputDescriptions.end(), text) != 1)
        return -1;
    return int(std::find(inputDescriptions.begin(), inputDescriptions.end(), text) - inputDescriptions.begin());
}

} // namespace

int findSourceByName(const std::vector<PulseSource>& sources,
                     const std::vector<std::string>& inputDescriptions, const std::string& name)
{
    if (name.empty())
        return -1;
    std::vector<const PulseSource*> defaultFirst, serverOrder;
    for (const PulseSource& s : sources)
        if (s.isDefault)
            defaultFirst.push_back(&s);
    for (const PulseSource& s : sources) {
        serverOrder.push_back(&s);
        if (!s.isDefault)
            defaultFirst.push_back(&s);
    }
    for (Shown shown : {Shown(&labelOf), Shown(&descriptionOf)}) {
        for (const auto* order : {&defaultFirst, &serverOrder})
            if (const int at = findIn(*order, inputDescriptions, name, shown); at >= 0)
                return at;
        if (const int at = findUnique(sources, inputDescriptions, name, shown); at >= 0)
            return at;
    }
    return -1;
}

} // namespace audio
