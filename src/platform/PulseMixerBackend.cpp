#include "platform/PulseMixerBackend.h"

#include <pulse/pulseaudio.h>

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <string>
#include <vector>

namespace platform {

namespace {

struct Source {
    std::uint32_t index = 0;
    std::string name;
    QString description;
    pa_cvolume volume{};
};

struct SinkState {
    bool found = false;
    pa_cvolume volume{};
    bool mute = false;
};

struct ServerState {
    bool found = false;
    std::string name, host, defaultSink, defaultSource;
};

// Error code of a set operation that found nothing to act on.
constexpr int NoEntity = PA_ERR_NOENTITY;
// How long one query may wait for the server.
constexpr pa_usec_t TimeoutUsec = 2 * PA_USEC_PER_SEC;
// How long a new default source may take to show, and how often it is asked for again.
constexpr auto DefaultSourceWait = std::chrono::seconds(3);
constexpr auto DefaultSourceRetry = std::chrono::milliseconds(250);

// A connection tried while the server is still setting up its socket is refused: tried again
// after these pauses (then the socket's folder is watched alone).
const int RetryPausesMs[] = {250, 1000, 3000};
// A server given by a network address cannot be watched: tried this often.
constexpr int RemoteRetryMs = 5000;

// The local socket the connection goes to ($PULSE_SERVER "unix:PATH" or "PATH", else the
// user's runtime folder); empty when the server is given by a network address.
QString serverSocket()
{
    const QString server = qEnvironmentVariable("PULSE_SERVER");
    if (!server.isEmpty()) {
        // Several servers may be listed; the first local one is watched.
        for (QString entry : server.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (entry.startsWith(QLatin1Char('{')))
                entry = entry.mid(entry.indexOf(QLatin1Char('}')) + 1);
            if (entry.startsWith(QLatin1String("unix:")))
                return entry.mid(5);
            if (entry.startsWith(QLatin1Char('/')))
                return entry;
        }
        return {};
    }
    QString runtime = qEnvironmentVariable("PULSE_RUNTIME_PATH");
    if (runtime.isEmpty()) {
        const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (xdg.isEmpty())
            return {};
        runtime = xdg + QStringLiteral("/pulse");
    }
    return runtime + QStringLiteral("/native");
}

const QString MonitorPrefix = QStringLiteral("Monitor of ");

int toRaw(pa_volume_t v)
{
    const double raw = double(v) * 65535.0 / double(PA_VOLUME_NORM);
    return int(std::min(65535.0, raw + 0.5));
}

pa_volume_t fromRaw(int raw)
{
    raw = std::clamp(raw, 0, 65535);
    return pa_volume_t((std::uint64_t(raw) * PA_VOLUME_NORM + 32767) / 65535);
}

// The volume to write for a raw value. A line turned up above its normal level reads as the
// top of the raw range; writing that top back must not pull it down to normal.
pa_cvolume withRaw(pa_cvolume current, int raw)
{
    if (raw >= 65535 && current.channels > 0 && pa_cvolume_avg(&current) >= PA_VOLUME_NORM)
        return current;
    pa_cvolume_set(&current, current.channels ? current.channels : 1, fromRaw(raw));
    return current;
}

} // namespace

struct PulseMixerBackend::Impl {
    PulseMixerBackend* owner = nullptr;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    std::atomic<bool> ready{false};
    std::atomic<bool> opened{false};
    // An operation ran into its deadline: the server is alive but answers nothing (stopped or
    // hung). Queries fail at once until its answer to a probe comes.
    std::atomic<bool> stalled{false};
    bool probing = false; // loop locked
    bool lastOk = false;  // result of the last success callback (loop locked)

    // The connection's life, on the owner's thread.
    int generation = 0; // of the context in use; events of older ones are dropped
    bool up = false;    // the owner has seen this connection ready
    int retries = 0;    // quick retries since the last change of the socket's folder
    QString socketPath;
    QFileSystemWatcher* watcher = nullptr;
    QTimer* retryTimer = nullptr;

    // Runs one operation with the loop locked and waits for it; false when it could not start
    // or the connection failed meanwhile.
    template <typename Start>
    bool run(Start start)
    {
        if (!ready || stalled)
            return false;
        pa_threaded_mainloop_lock(loop);
        pa_operation* op = start();
        if (!op) {
            pa_threaded_mainloop_unlock(loop);
            return false;
        }
        pa_operation_set_state_callback(op, [](pa_operation*, void* l) {
            pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(l), 0);
        }, loop);
        // A server that stops answering must not hang the GUI thread: give up after a while.
        struct Deadline {
            pa_threaded_mainloop* loop;
            bool passed = false;
        } deadline{loop};
        pa_time_event* timer = pa_context_rttime_new(
            context, pa_rtclock_now() + TimeoutUsec,
            [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* u) {
                auto* dl = static_cast<Deadline*>(u);
                dl->passed = true;
                pa_threaded_mainloop_signal(dl->loop, 0);
            },
            &deadline);
        while (pa_operation_get_state(op) == PA_OPERATION_RUNNING
               && PA_CONTEXT_IS_GOOD(pa_context_get_state(context)) && !deadline.passed)
            pa_threaded_mainloop_wait(loop);
        if (timer)
            pa_threaded_mainloop_get_api(loop)->time_free(timer);
        if (pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
            pa_operation_cancel(op);
            if (deadline.passed)
                stall();
        }
        const bool done = pa_operation_get_state(op) == PA_OPERATION_DONE;
        pa_operation_unref(op);
        pa_threaded_mainloop_unlock(loop);
        return done;
    }

    // Marks the server as not answering and asks it something small; its answer, whenever it
    // comes, ends the stall and tells the owner to read everything again. Loop locked.
    void stall()
    {
        stalled = true;
        if (probing || !context)
            return;
        pa_operation* op = pa_context_get_server_info(
            context,
            [](pa_context*, const pa_server_info*, void* self) {
                auto* d = static_cast<Impl*>(self);
                d->probing = false;
                d->stalled = false;
                d->post([](PulseMixerBackend* owner) { emit owner->changed(); });
            },
            this);
        if (op) {
            probing = true;
            pa_operation_unref(op);
        }
    }

    // Runs `work` on the owner's thread (a queued call, dropped if the owner is gone).
    template <typename Work> void post(Work work)
    {
        QPointer<PulseMixerBackend> guard(owner);
        QMetaObject::invokeMethod(
            owner,
            [guard, work] {
                if (guard)
                    work(guard.data());
            },
            Qt::QueuedConnection);
    }

    int errorCode()
    {
        if (stalled)
            return PA_ERR_TIMEOUT;
        pa_threaded_mainloop_lock(loop);
        const int e = context ? pa_context_errno(context) : PA_ERR_CONNECTIONTERMINATED;
        pa_threaded_mainloop_unlock(loop);
        return e ? e : PA_ERR_UNKNOWN;
    }

    // Runs a set operation; 0 on success, the server's error code otherwise.
    template <typename Start>
    int change(Start start)
    {
        lastOk = false;
        if (!run(start))
            return ready ? errorCode() : PA_ERR_CONNECTIONTERMINATED;
        return lastOk ? 0 : errorCode();
    }

    static void onSuccess(pa_context*, int success, void* self)
    {
        auto* d = static_cast<Impl*>(self);
        d->lastOk = success != 0;
        pa_threaded_mainloop_signal(d->loop, 0);
    }

    ServerState server()
    {
        struct Collect {
            ServerState state;
            pa_threaded_mainloop* loop;
        } collect{{}, loop};
        run([&] {
            return pa_context_get_server_info(context, [](pa_context*, const pa_server_info* i, void* u) {
                auto* c = static_cast<Collect*>(u);
                if (i) {
                    c->state.found = true;
                    c->state.name = i->server_name ? i->server_name : "";
                    c->state.host = i->host_name ? i->host_name : "";
                    c->state.defaultSink = i->default_sink_name ? i->default_sink_name : "";
                    c->state.defaultSource = i->default_source_name ? i->default_source_name : "";
                }
                pa_threaded_mainloop_signal(c->loop, 0);
            }, &collect);
        });
        return collect.state;
    }

    std::vector<Source> sources()
    {
        struct Collect {
            std::vector<Source> list;
            pa_threaded_mainloop* loop;
        } collect{{}, loop};
        const bool ok = run([&] {
            return pa_context_get_source_info_list(context, [](pa_context*, const pa_source_info* i, int eol, void* u) {
                auto* c = static_cast<Collect*>(u);
                if (eol || !i) {
                    pa_threaded_mainloop_signal(c->loop, 0);
                    return;
                }
                Source s;
                s.index = i->index;
                s.name = i->name ? i->name : "";
                s.description = QString::fromUtf8(i->description ? i->description : i->name);
                // PulseAudio describes a monitor as "Monitor of <sink>"; PipeWire's server gives
                // it the sink's own description, so that "Speaker" would name both the output
                // and what records from it. Every monitor line reads the same on both.
                if (i->monitor_of_sink != PA_INVALID_INDEX && !s.description.startsWith(MonitorPrefix))
                    s.description.prepend(MonitorPrefix);
                s.volume = i->volume;
                c->list.push_back(s);
            }, &collect);
        });
        if (!ok)
            return {};
        std::sort(collect.list.begin(), collect.list.end(),
                  [](const Source& a, const Source& b) { return a.index < b.index; });
        return collect.list;
    }

    SinkState sink(const std::string& name)
    {
        struct Collect {
            SinkState state;
            pa_threaded_mainloop* loop;
        } collect{{}, loop};
        run([&] {
            return pa_context_get_sink_info_by_name(context, name.c_str(), [](pa_context*, const pa_sink_info* i, int eol, void* u) {
                auto* c = static_cast<Collect*>(u);
                if (!eol && i) {
                    c->state.found = true;
                    c->state.volume = i->volume;
                    c->state.mute = i->mute != 0;
                }
                pa_threaded_mainloop_signal(c->loop, 0);
            }, &collect);
        });
        return collect.state;
    }

    // Context state changes, on the main loop's thread: a ready connection subscribes to the
    // server's changes; either way the owner's thread learns of it.
    struct StateTag {
        Impl* d;
        int generation;
    };
    static void onState(pa_context* c, void* tag)
    {
        auto* t = static_cast<StateTag*>(tag);
        Impl* d = t->d;
        const pa_context_state_t state = pa_context_get_state(c);
        if (state == PA_CONTEXT_READY) {
            pa_context_set_subscribe_callback(c, &Impl::onEvent, d);
            pa_operation* op = pa_context_subscribe(
                c,
                pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE |
                                       PA_SUBSCRIPTION_MASK_SERVER),
                nullptr, nullptr);
            if (op)
                pa_operation_unref(op);
            d->stalled = false;
            d->probing = false;
            d->ready = true;
        } else if (!PA_CONTEXT_IS_GOOD(state)) {
            d->ready = false;
        }
        if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state)) {
            const int generation = t->generation;
            const bool ok = state == PA_CONTEXT_READY;
            d->post(
                [generation, ok](PulseMixerBackend* owner) { owner->d_->settled(generation, ok); });
        }
        pa_threaded_mainloop_signal(d->loop, 0);
    }

    static void onEvent(pa_context*, pa_subscription_event_type_t, std::uint32_t, void* self)
    {
        auto* d = static_cast<Impl*>(self);
        if (!d->opened)
            return;
        d->post([](PulseMixerBackend* owner) { emit owner->changed(); });
    }

    std::unique_ptr<StateTag> tag; // of the context in use

    // A new context on the running loop, connecting in the background (owner's thread).
    void connectNow()
    {
        pa_threaded_mainloop_lock(loop);
        dropContext();
        ++generation;
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "Vexa Recorder mixer");
        if (context) {
            tag = std::make_unique<StateTag>(StateTag{this, generation});
            pa_context_set_state_callback(context, &Impl::onState, tag.get());
            if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
                const int g = generation;
                post([g](PulseMixerBackend* owner) { owner->d_->settled(g, false); });
            }
        }
        pa_threaded_mainloop_unlock(loop);
    }

    // Loop locked.
    void dropContext()
    {
        ready = false;
        if (!context)
            return;
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_set_subscribe_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
        probing = false;
    }

    // The connection of this generation became ready or failed (owner's thread).
    void settled(int gen, bool ok)
    {
        if (gen != generation)
            return;
        if (ok) {
            retries = 0;
            if (!up) {
                up = true;
                emit owner->serverAvailable();
                emit owner->changed();
            }
            return;
        }
        pa_threaded_mainloop_lock(loop);
        dropContext();
        pa_threaded_mainloop_unlock(loop);
        if (up) {
            up = false;
            emit owner->changed();
        }
        waitForServer();
    }

    // Without polling: the socket's folder is watched (its nearest existing ancestor while it
    // is missing); a refused connection soon after a change is tried a few more times.
    void waitForServer()
    {
        if (socketPath.isEmpty()) {
            retryTimer->start(RemoteRetryMs);
            return;
        }
        watchSocketFolder();
        const int count = int(sizeof(RetryPausesMs) / sizeof(RetryPausesMs[0]));
        if (retries < count && QFileInfo::exists(socketPath))
            retryTimer->start(RetryPausesMs[retries++]);
    }

    void watchSocketFolder()
    {
        if (!watcher->directories().isEmpty())
            watcher->removePaths(watcher->directories());
        QString folder = QFileInfo(socketPath).absolutePath();
        while (!QFileInfo(folder).isDir() && folder != QDir::rootPath())
            folder = QFileInfo(folder).absolutePath();
        watcher->addPath(folder);
    }

    void socketFolderChanged()
    {
        pa_threaded_mainloop_lock(loop);
        const bool busy = context && PA_CONTEXT_IS_GOOD(pa_context_get_state(context));
        pa_threaded_mainloop_unlock(loop);
        if (busy)
            return; // connected or connecting
        retries = 0;
        if (QFileInfo::exists(socketPath)) {
            retryTimer->stop();
            connectNow();
        } else {
            watchSocketFolder(); // a folder made on the way to the socket
        }
    }
};

PulseMixerBackend::PulseMixerBackend(QObject* parent) : MixerBackend(parent), d_(std::make_unique<Impl>())
{
    Impl& d = *d_;
    d.owner = this;
    d.socketPath = serverSocket();
    d.watcher = new QFileSystemWatcher(this);
    connect(d.watcher, &QFileSystemWatcher::directoryChanged, this,
            [this] { d_->socketFolderChanged(); });
    d.retryTimer = new QTimer(this);
    d.retryTimer->setSingleShot(true);
    connect(d.retryTimer, &QTimer::timeout, this, [this] {
        if (!d_->ready)
            d_->connectNow();
    });
    d.loop = pa_threaded_mainloop_new();
    if (!d.loop || pa_threaded_mainloop_start(d.loop) < 0)
        return;
    d.connectNow();
    // Up to ConnectWaitMs for the answer: a server that is stopped or hung accepts the socket
    // and then says nothing.
    pa_threaded_mainloop_lock(d.loop);
    struct Deadline {
        pa_threaded_mainloop* loop;
        bool passed = false;
    } deadline{d.loop};
    pa_time_event* timer = !d.context
        ? nullptr
        : pa_context_rttime_new(
              d.context, pa_rtclock_now() + pa_usec_t(ConnectWaitMs) * PA_USEC_PER_MSEC,
              [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* u) {
                  auto* dl = static_cast<Deadline*>(u);
                  dl->passed = true;
                  pa_threaded_mainloop_signal(dl->loop, 0);
              },
              &deadline);
    while (d.context && !deadline.passed) {
        const pa_context_state_t state = pa_context_get_state(d.context);
        if (state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state))
            break;
        pa_threaded_mainloop_wait(d.loop);
    }
    if (timer)
        pa_threaded_mainloop_get_api(d.loop)->time_free(timer);
    const bool ready = d.context && pa_context_get_state(d.context) == PA_CONTEXT_READY;
    pa_threaded_mainloop_unlock(d.loop);
    // Known ready now: the queued news of it changes nothing. Otherwise the news (ready later,
    // or failed) comes through the queue.
    d.up = ready;
}

PulseMixerBackend::~PulseMixerBackend()
{
    Impl& d = *d_;
    if (d.loop)
        pa_threaded_mainloop_stop(d.loop);
    if (d.context) {
        pa_context_set_state_callback(d.context, nullptr, nullptr);
        pa_context_disconnect(d.context);
        pa_context_unref(d.context);
    }
    if (d.loop)
        pa_threaded_mainloop_free(d.loop);
}

bool PulseMixerBackend::connected() const { return d_->ready; }

QStringList PulseMixerBackend::devices()
{
    const ServerState s = d_->server();
    if (!s.found)
        return {};
    QString name = QString::fromUtf8(s.name.c_str());
    if (!s.host.empty())
        name += QStringLiteral(" on ") + QString::fromUtf8(s.host.c_str());
    return {name};
}

bool PulseMixerBackend::open(int device)
{
    // One device: the server. Any other index leaves the backend unusable until a good open.
    d_->opened = device == 0 && d_->ready;
    return d_->opened;
}

void PulseMixerBackend::close() { d_->opened = false; }

QStringList PulseMixerBackend::recordingLines()
{
    if (!d_->opened)
        return {};
    QStringList lines;
    for (const Source& s : d_->sources())
        lines << s.description;
    return lines;
}

QString PulseMixerBackend::lineName(int line)
{
    if (!d_->opened || line < 0)
        return {};
    const std::vector<Source> list = d_->sources();
    if (line >= int(list.size()))
        return {};
    return QString::fromStdString(list[std::size_t(line)].name);
}

QList<MixerBackend::Line> PulseMixerBackend::lines()
{
    if (!d_->opened)
        return {};
    QList<Line> result;
    for (const Source& s : d_->sources())
        result.append({s.description, QString::fromStdString(s.name)});
    return result;
}

int PulseMixerBackend::selectedLine()
{
    if (!d_->opened)
        return -1;
    const ServerState server = d_->server();
    if (!server.found)
        return -1;
    const std::vector<Source> list = d_->sources();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].name == server.defaultSource)
            return int(i);
    return -1;
}

int PulseMixerBackend::setSelectedLine(int line)
{
    if (!d_->opened)
        return NoEntity;
    const std::vector<Source> list = d_->sources();
    if (line < 0 || line >= int(list.size()))
        return NoEntity;
    return setSelectedName(QString::fromStdString(list[std::size_t(line)].name));
}

int PulseMixerBackend::setSelectedName(const QString& line)
{
    if (!d_->opened || line.isEmpty())
        return NoEntity;
    // The server refuses a name it does not know ("No such entity").
    const std::string name = line.toStdString();
    Impl& d = *d_;
    auto request = [&] {
        return d.change([&] { return pa_context_set_default_source(d.context, name.c_str(), &Impl::onSuccess, &d); });
    };
    const int error = request();
    if (error != 0)
        return error;
    // PulseAudio applies the new default before it confirms it. PipeWire's server confirms at
    // once and leaves it to its session manager, which applies it a little later, and now and
    // then not at all. A capture opened on the default source right after this call must get
    // the chosen line: wait until the server reports it, asking again now and then.
    const auto deadline = std::chrono::steady_clock::now() + DefaultSourceWait;
    auto nextRequest = std::chrono::steady_clock::now() + DefaultSourceRetry;
    for (;;) {
        const ServerState server = d.server();
        if (!server.found)
            return d.ready ? PA_ERR_UNKNOWN : PA_ERR_CONNECTIONTERMINATED;
        if (server.defaultSource == name)
            return 0;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return PA_ERR_TIMEOUT;
        if (now >= nextRequest) {
            request();
            nextRequest = now + DefaultSourceRetry;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int PulseMixerBackend::lineVolume(int line)
{
    if (!d_->opened)
        return -1;
    const std::vector<Source> list = d_->sources();
    if (line < 0 || line >= int(list.size()))
        return -1;
    return toRaw(pa_cvolume_avg(&list[std::size_t(line)].volume));
}

int PulseMixerBackend::setLineVolume(int line, int volume)
{
    if (!d_->opened)
        return NoEntity;
    const std::vector<Source> list = d_->sources();
    if (line < 0 || line >= int(list.size()))
        return NoEntity;
    const pa_cvolume cv = withRaw(list[std::size_t(line)].volume, volume);
    const std::uint32_t index = list[std::size_t(line)].index;
    Impl& d = *d_;
    return d.change([&] { return pa_context_set_source_volume_by_index(d.context, index, &cv, &Impl::onSuccess, &d); });
}

int PulseMixerBackend::speakerVolume()
{
    if (!d_->opened)
        return -1;
    const ServerState server = d_->server();
    const SinkState sink = server.found ? d_->sink(server.defaultSink) : SinkState{};
    return sink.found ? toRaw(pa_cvolume_avg(&sink.volume)) : -1;
}

int PulseMixerBackend::setSpeakerVolume(int volume)
{
    if (!d_->opened)
        return NoEntity;
    const ServerState server = d_->server();
    const SinkState sink = server.found ? d_->sink(server.defaultSink) : SinkState{};
    if (!sink.found)
        return NoEntity;
    const pa_cvolume cv = withRaw(sink.volume, volume);
    Impl& d = *d_;
    return d.change([&] {
        return pa_context_set_sink_volume_by_name(d.context, server.defaultSink.c_str(), &cv, &Impl::onSuccess, &d);
    });
}

int PulseMixerBackend::speakerMute()
{
    if (!d_->opened)
        return -1;
    const ServerState server = d_->server();
    const SinkState sink = server.found ? d_->sink(server.defaultSink) : SinkState{};
    return sink.found ? (sink.mute ? 1 : 0) : -1;
}

int PulseMixerBackend::setSpeakerMute(bool mute)
{
    if (!d_->opened)
        return NoEntity;
    const ServerState server = d_->server();
    if (!server.found)
        return NoEntity;
    Impl& d = *d_;
    return d.change([&] {
        return pa_context_set_sink_mute_by_name(d.context, server.defaultSink.c_str(), mute ? 1 : 0, &Impl::onSuccess, &d);
    });
}

} // namespace platform
