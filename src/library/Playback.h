#pragma once
// Playback of the selected recording through one engine stream: play, pause, continue, the
// playback half of Stop, Previous and Next, seeking with the position slider, and the 100 ms
// step that follows the stream and ends playback when it runs out.
#include "audio/AudioApi.h"
#include "platform/MessageSink.h"

#include <QString>
#include <cstdint>

namespace library {

class FileInfo;
class FileListView;
class FileSelection;
class LibraryHost;

class Playback {
public:
    // info: the panel the selection fills (Previous and Next are the user's choice of a file).
    Playback(LibraryHost& host, audio::AudioApi& engine, FileListView& list,
             FileSelection& selection, FileInfo& info, platform::MessageSink& messages)
        : host_(host), engine_(engine), list_(list), selection_(selection), info_(info),
          messages_(messages)
    {
    }

    // Play: pauses while playing, continues while paused, and in Idle opens the selected file
    // and plays it from its start (nothing without a selection).
    void Play();
    // The playback half of Stop: in Playing or PlayPaused stops and frees the stream, selects
    // the played file again and sets Idle. Nothing in the other states.
    void Stop();
    void Previous();
    void Next();
    // The slider was clicked or its thumb released at position 0..100: seeks while playing,
    // ignored while paused (the next tick moves the thumb back).
    void Seek(int sliderPosition);
    // The playback half of the 100 ms tick, in every state: returns the whole seconds of the
    // channel's position for the time display (0 when it is not active), moves the slider
    // while playing or paused, and performs Stop when a playing stream has ended. A stream
    // whose output device or sound server went away is stopped the same way, and that is said
    // once.
    std::uint32_t Tick();

    // Stops and frees Channel (the stream), without touching the state.
    void stopStream();
    bool isPlayingOrPaused() const;

    QString PlayFilePath() const { return playFilePath_; }
    void clearPlayFilePath() { playFilePath_.clear(); }
    std::uint32_t PlayLength() const { return playLength_; }

    // Slider position for a byte position: position x 100 / length truncated, 0 for a stream
    // of length 0.
    static int sliderPosition(std::uint32_t position, std::uint32_t length);
    // Byte position for a slider position: position x length x 0.01 truncated.
    static std::uint32_t bytePosition(int sliderPosition, std::uint32_t length);

private:
    void step(int delta);
    void showDeviceLost();

    LibraryHost& host_;
    audio::AudioApi& engine_;
    FileListView& list_;
    FileSelection& selection_;
    FileInfo& info_;
    platform::MessageSink& messages_;
    QString playFilePath_;
    std::uint32_t playLength_ = 0;
};

} // namespace library
