// ctest-label: unit
// The hand-over between the window's thread and a capture's own thread, on the real engine over
// the fake device with a delivery thread of its own (as a sound server's callback thread):
// pause and stop called from another thread wait for a callback that is running and no callback
// starts after they return; play resumes the delivery; a callback may pause its own capture
// without waiting for itself.
#include "audio/Engine.h"
#include "support/audio_fake_devices.h"
#include "support/audio_signals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace testsupport;

namespace {

// Pushes 10 ms blocks of a tone into the capture for as long as it lives, on its own thread.
class Delivery {
public:
    explicit Delivery(FakeDeviceBackend& devices) : devices_(devices), thread_([this] { run(); }) {}
    ~Delivery()
    {
        quit_ = true;
        thread_.join();
    }
    // Returns once the thread pushed `count` more blocks (whatever the capture did with them).
    void waitPushes(std::uint64_t count) const
    {
        const std::uint64_t target = pushes_.load() + count;
        while (pushes_.load() < target)
            std::this_thread::yield();
    }

private:
    void run()
    {
        const Pcm tone = sine(1000, 44100, 2, 0.01);
        while (!quit_) {
            devices_.pushInput(tone.data(), 441);
            ++pushes_;
            std::this_thread::yield();
        }
    }

    FakeDeviceBackend& devices_;
    std::atomic<bool> quit_{false};
    std::atomic<std::uint64_t> pushes_{0};
    std::thread thread_;
};

// The client of the capture. A callback can be held inside until the test lets it go.
struct Client {
    std::mutex mutex;
    std::condition_variable changed;
    bool holdNext = false;
    bool holding = false;
    bool release = false;

    std::atomic<int> calls{0};
    std::atomic<bool> closed{false}; // set once pause or stop returned
    std::atomic<int> callsAfterClose{0};
    // Pause the capture from inside the callback at this call (0: never).
    int pauseAtCall = 0;
    audio::Engine* engine = nullptr;
    std::atomic<audio::HRECORD> handle{0};

    void hold()
    {
        std::unique_lock<std::mutex> lock(mutex);
        holdNext = true;
        release = false;
        changed.wait(lock, [&] { return holding; });
    }
    void letGo()
    {
        std::lock_guard<std::mutex> lock(mutex);
        release = true;
        changed.notify_all();
    }
    void waitCalls(int count) const
    {
        while (calls.load() < count)
            std::this_thread::yield();
    }
};

bool receive(audio::HRECORD, const void*, std::uint32_t, void* user)
{
    auto* c = static_cast<Client*>(user);
    if (c->closed)
        ++c->callsAfterClose;
    const int call = ++c->calls;
    if (call == c->pauseAtCall)
        c->engine->channelPause(c->handle.load());
    std::unique_lock<std::mutex> lock(c->mutex);
    if (c->holdNext) {
        c->holdNext = false;
        c->holding = true;
        c->changed.notify_all();
        c->changed.wait(lock, [&] { return c->release; });
        c->holding = false;
    }
    return true;
}

class CaptureHandOver : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine.recordInit(-1)); }

    std::shared_ptr<FakeDeviceBackend> devices = std::make_shared<FakeDeviceBackend>();
    audio::Engine engine{devices};
};

// Runs `call` on another thread while a callback is held inside, and checks that it returns
// only after the callback was let go.
void closeWhileACallbackRuns(Client& client, const std::function<bool()>& call)
{
    client.hold();
    std::atomic<bool> started{false};
    std::atomic<bool> returned{false};
    bool result = false;
    std::thread window([&] {
        started = true;
        result = call();
        client.closed = true;
        returned = true;
    });
    while (!started)
        std::this_thread::yield();
    for (int i = 0; i < 1000; ++i)
        std::this_thread::yield();
    EXPECT_FALSE(returned) << "returned while the callback was still running";
    client.letGo();
    window.join();
    EXPECT_TRUE(result);
}

TEST_F(CaptureHandOver, PauseAndStopFromAnotherThreadWaitForTheRunningCallback)
{
    Client client;
    const audio::HRECORD h = engine.recordStart(44100, 2, &receive, &client);
    ASSERT_NE(h, 0u);
    Delivery delivery(*devices);
    client.waitCalls(3);

    closeWhileACallbackRuns(client, [&] { return engine.channelPause(h); });
    const int atPause = client.calls.load();
    const std::int64_t position = engine.channelGetPosition(h);
    delivery.waitPushes(20);
    EXPECT_EQ(client.calls.load(), atPause);
    EXPECT_EQ(client.callsAfterClose.load(), 0);
    EXPECT_EQ(engine.channelIsActive(h), audio::Paused);
    EXPECT_EQ(engine.channelGetPosition(h), position);

    client.closed = false;
    ASSERT_TRUE(engine.channelPlay(h, false));
    client.waitCalls(atPause + 3);
    EXPECT_EQ(engine.channelIsActive(h), audio::Playing);
    EXPECT_GT(engine.channelGetPosition(h), position);

    closeWhileACallbackRuns(client, [&] { return engine.channelStop(h); });
    const int atStop = client.calls.load();
    delivery.waitPushes(20);
    EXPECT_EQ(client.calls.load(), atStop);
    EXPECT_EQ(client.callsAfterClose.load(), 0);
    EXPECT_EQ(engine.channelIsActive(h), audio::Stopped);
    EXPECT_FALSE(engine.channelPlay(h, false));
    EXPECT_TRUE(engine.streamFree(h));
}

TEST_F(CaptureHandOver, ACallbackPausesItsOwnCapture)
{
    Client client;
    client.engine = &engine;
    client.pauseAtCall = 3;
    const audio::HRECORD h = engine.recordStart(44100, 2, &receive, &client);
    ASSERT_NE(h, 0u);
    client.handle = h;
    Delivery delivery(*devices);
    client.waitCalls(3);
    delivery.waitPushes(20);
    EXPECT_EQ(client.calls.load(), 3); // the pause took effect at once, without a deadlock
    EXPECT_EQ(engine.channelIsActive(h), audio::Paused);

    ASSERT_TRUE(engine.channelPlay(h, false));
    client.waitCalls(6);
    EXPECT_EQ(engine.channelIsActive(h), audio::Playing);
    EXPECT_TRUE(engine.streamFree(h)); // freed while the delivery thread keeps pushing
    const int atFree = client.calls.load();
    delivery.waitPushes(20);
    EXPECT_EQ(client.calls.load(), atFree);
}

} // namespace
