#pragma once
// A non-visual component that plays an uncompressed PCM WAV file block by block on an output
// device: it reads the canonical 44-byte header, keeps HeaderCount blocks of BufferTime ms
// queued, refills each block when the device has finished it, reports a rough peak level and
// the elapsed time after every block (OnPeak) and the end of the file (OnComplete).
//
// Threads: Play, Pause, Stop, Continue, Goto, Open and Close are called from one controlling
// thread (the GUI thread). WaveOutProc, the refill and the events run on the output's
// notification thread, never on the device's callback thread. The file position is shared by
// the refill and Goto and guarded by one lock.
#include "audio/BlockOutput.h"

#include <QFile>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {
class MessageSink;
} // namespace platform

namespace waveout {

class WaveOutPlayer : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName MEMBER FileName)
    Q_PROPERTY(int DeviceIndex MEMBER DeviceIndex)
    Q_PROPERTY(int BufferTime MEMBER BufferTime)
public:
    using NotifyEvent = std::function<void(WaveOutPlayer* sender)>;
    enum PlayStates : int { Stopped = 0, Playing = 1, Paused = 2 };
    static constexpr int HeaderCount = 10;
    static constexpr qint64 DataOffset = 44;

    // devices null: the real output device.
    explicit WaveOutPlayer(platform::MessageSink& messages,
                           std::shared_ptr<audio::DeviceBackend> devices = nullptr,
                           QObject* parent = nullptr);
    ~WaveOutPlayer() override;

    // Published properties.
    QString FileName;
    int DeviceIndex = 0;
    int BufferTime = 100;   // ms per block
    NotifyEvent OnPeak;     // after each finished block while playing
    NotifyEvent OnComplete; // after the last block of the file

    bool GetWaveFileInf();
    bool Open();
    void Close();
    void Play();
    void Pause();
    void Stop();
    void Continue();
    void Goto(int block);
    // The block-done handler (the output's notification thread).
    void WaveOutProc(int header);

    std::uint32_t SampleRate() const { return SampleRate_; }
    std::uint32_t Channels() const { return Channels_; }
    std::uint32_t BitsPerSample() const { return BitsPerSample_; }
    int LeftPeak() const { return LeftPeak_; }
    int RightPeak() const { return RightPeak_; }
    std::uint32_t DataSize() const { return DataSize_; }
    std::uint32_t BlockSize() const { return BlockSize_; }
    std::uint32_t ElapsedSeconds() const { return ElapsedSeconds_; }
    std::uint32_t DurationSeconds() const { return DurationSeconds_; }
    int Position() const { return Position_; }
    std::uint32_t BlockTotal() const { return BlockTotal_; }
    int PlayState() const { return PlayState_; }

private:
    enum class HeaderResult { Ok, CannotOpen, NotWave, NotPcm };
    // Reads the header fields of the open file and computes the derived values.
    HeaderResult readHeader(QFile& file);
    void say(const char* text);
    // Fills header `index` from the file (with silence first) and writes it to the device;
    // false when nothing could be read. The file lock must be held.
    bool fillAndWrite(int index, bool* writeFailed);

    platform::MessageSink& messages_;
    audio::BlockOutput output_;

    std::vector<std::vector<std::uint8_t>> Headers; // HeaderCount block buffers
    QFile file_;
    // The file position and the block counters, shared by the refill and Goto. Recursive: the
    // events run under it and may call Goto or Close.
    std::recursive_mutex fileMutex_;

    std::atomic<std::uint32_t> SampleRate_{0};
    std::atomic<std::uint32_t> Channels_{0};
    std::atomic<std::uint32_t> BitsPerSample_{0};
    std::atomic<int> LeftPeak_{0};
    std::atomic<int> RightPeak_{0};
    std::atomic<std::uint32_t> DataSize_{0};
    std::atomic<std::uint32_t> BlockSize_{0};
    std::atomic<std::uint32_t> ElapsedSeconds_{0};
    std::atomic<std::uint32_t> DurationSeconds_{0};
    std::atomic<int> Position_{0};
    std::atomic<std::uint32_t> BlockTotal_{0};
    std::atomic<int> PlayState_{Stopped};
};

} // namespace waveout
