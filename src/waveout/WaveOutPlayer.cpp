#include "waveout/WaveOutPlayer.h"

#include "platform/LocalFiles.h"
#include "platform/MessageSink.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace waveout {

namespace {
const char* const ApplicationTitle = "Vexa Recorder";

std::uint32_t ceilDiv(std::uint64_t a, std::uint64_t b)
{
    return b == 0 ? 0 : std::uint32_t(a / b + (a % b ? 1 : 0));
}
} // namespace

WaveOutPlayer::WaveOutPlayer(platform::MessageSink& messages,
                             std::shared_ptr<audio::DeviceBackend> devices, QObject* parent)
    : QObject(parent), messages_(messages), output_(std::move(devices))
{
}

WaveOutPlayer::~WaveOutPlayer()
{
    Close();
}

void WaveOutPlayer::say(const char* text)
{
    platform::Message m;
    m.text = QString::fromLatin1(text);
    m.caption = QString::fromLatin1(ApplicationTitle);
    m.icon = platform::MessageIcon::None;
    messages_.show(m);
}

WaveOutPlayer::HeaderResult WaveOutPlayer::readHeader(QFile& file)
{
    // The canonical 44-byte layout: RIFF, form type WAVE, then fixed offsets.
    file.seek(0);
    const QByteArray head = file.read(DataOffset);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return HeaderResult::NotWave;
    if (head.size() < DataOffset)
        return HeaderResult::NotWave; // too short to hold the fields read below
    const auto* p = reinterpret_cast<const uchar*>(head.constData());
    const std::uint32_t channels = qFromLittleEndian<quint16>(p + 22);
    const std::uint32_t rate = qFromLittleEndian<quint32>(p + 24);
    const std::uint32_t bits = qFromLittleEndian<quint16>(p + 34);
    std::uint32_t dataSize = qFromLittleEndian<quint32>(p + 40);
    // A header without channels or rate would divide by zero below.
    if (channels == 0 || rate == 0)
        return HeaderResult::NotWave;
    Channels_ = channels;
    SampleRate_ = rate;
    BitsPerSample_ = bits;
    if (bits != 8 && bits != 16)
        return HeaderResult::NotPcm;
    // A header may claim more data than the file holds (a recording cut short): the blocks
    // that do not exist would never finish, and the end would never come.
    const qint64 present = std::max<qint64>(0, file.size() - DataOffset);
    dataSize = std::uint32_t(std::min<qint64>(dataSize, present));
    DataSize_ = dataSize;

    const std::uint32_t align = channels * bits / 8;
    const std::uint64_t byteRate = std::uint64_t(rate) * align;
    // 64-bit: rate x channels x bits x time overflows 32 bits for long blocks.
    std::uint64_t blockSize =
        std::uint64_t(rate) * channels * bits * std::uint64_t(std::max(BufferTime, 0)) / 8 / 1000;
    if (blockSize < align)
        blockSize = align; // at least one sample frame: a block of 0 bytes would never finish
    BlockSize_ = std::uint32_t(std::min<std::uint64_t>(blockSize, 0x7FFFFFFF));
    DurationSeconds_ = ceilDiv(dataSize, byteRate);
    BlockTotal_ = ceilDiv(dataSize, BlockSize_);
    return HeaderResult::Ok;
}

bool WaveOutPlayer::GetWaveFileInf()
{
    QFile file;
    if (!platform::LocalFiles::openForReading(file, FileName)) {
        say("Cannot open the file!");
        return false;
    }
    const HeaderResult r = readHeader(file);
    file.close();
    if (r == HeaderResult::NotWave) {
        say("It is not the WAVE file!");
        return false;
    }
    if (r == HeaderResult::NotPcm) {
        say("Not PCM formats!");
        return false;
    }
    Position_ = 0;
    ElapsedSeconds_ = 0;
    return true;
}

bool WaveOutPlayer::Open()
{
    PlayState_ = Stopped;
    output_.close(); // a device left open by an earlier Open; no report runs after this
    std::lock_guard<std::recursive_mutex> lock(fileMutex_);
    Headers.clear();
    file_.close();
    file_.setFileName(FileName);
    if (!file_.open(QIODevice::ReadOnly)) {
        say("Cannot open the file!");
        return false;
    }
    const HeaderResult r = readHeader(file_);
    if (r != HeaderResult::Ok) {
        file_.close();
        say(r == HeaderResult::NotWave ? "It is not the WAVE file!"
                                       : "The WAVE file is not the format of PCM!");
        return false;
    }
    Position_ = 0;
    ElapsedSeconds_ = 0;
    const int devices = output_.deviceCount();
    if (devices == 0) {
        file_.close();
        say("No sound device");
        return false;
    }
    // Device -1 is the default device, as the wave mapper is.
    if (DeviceIndex < -1 || DeviceIndex >= devices) {
        file_.close();
        say("Cannot get the capability of the sound device!");
        return false;
    }
    audio::BlockOutput::Format format;
    format.rate = SampleRate_;
    format.channels = Channels_;
    format.bits = BitsPerSample_;
    if (!output_.open(format, [this](int header) { WaveOutProc(header); })) {
        file_.close();
        say("Cannot open sound device!");
        return false;
    }
    Headers.assign(HeaderCount, std::vector<std::uint8_t>(BlockSize_, 0));
    return true;
}

void WaveOutPlayer::Close()
{
    PlayState_ = Stopped;
    output_.close(); // outside the lock: it waits for a running WaveOutProc
    std::lock_guard<std::recursive_mutex> lock(fileMutex_);
    Headers.clear();
    file_.close();
}

bool WaveOutPlayer::fillAndWrite(int index, bool* writeFailed)
{
    std::vector<std::uint8_t>& block = Headers[std::size_t(index)];
    std::fill(block.begin(), block.end(), std::uint8_t(BitsPerSample_ == 8 ? 128 : 0));
    // Never past the data: whatever follows it in the file is not sound.
    const qint64 end = DataOffset + qint64(DataSize_);
    const qint64 wanted = std::min<qint64>(qint64(block.size()), end - file_.pos());
    const qint64 got = wanted > 0 ? file_.read(reinterpret_cast<char*>(block.data()), wanted) : 0;
    if (got <= 0)
        return false;
    if (!output_.write(index, block.data(), block.size()) && writeFailed)
        *writeFailed = true;
    return true;
}

void WaveOutPlayer::Play()
{
    PlayState_ = Playing;
    std::lock_guard<std::recursive_mutex> lock(fileMutex_);
    if (Headers.empty() || !output_.isOpen()) {
        say("The WAVE sound information structure forming fail!");
        return;
    }
    file_.seek(DataOffset);
    for (int i = 0; i < HeaderCount; ++i) {
        bool failed = false;
        if (!fillAndWrite(i, &failed))
            break;
        if (failed) {
            say("Buffering device fail!");
            break;
        }
    }
}

void WaveOutPlayer::Pause()
{
    PlayState_ = Paused;
    if (!output_.pause())
        say("Play pause fail!");
}

void WaveOutPlayer::Stop()
{
    PlayState_ = Stopped;
    if (!output_.reset())
        say("Stop play fail!");
}

void WaveOutPlayer::Continue()
{
    PlayState_ = Playing;
    if (!output_.restart())
        say("Continue play fail! ");
}

void WaveOutPlayer::Goto(int block)
{
    std::lock_guard<std::recursive_mutex> lock(fileMutex_);
    const int last = int(BlockTotal_) - 1;
    Position_ = std::max(0, std::min(block, last));
    file_.seek(DataOffset + qint64(Position_) * qint64(BlockSize_));
}

void WaveOutPlayer::WaveOutProc(int header)
{
    std::lock_guard<std::recursive_mutex> lock(fileMutex_);
    if (header < 0 || header >= int(Headers.size()))
        return;
    // 1. Peaks from the first sample frame of the finished block.
    const std::vector<std::uint8_t>& block = Headers[std::size_t(header)];
    const bool stereo = Channels_ >= 2;
    if (BitsPerSample_ == 8 && !block.empty()) {
        const int a = std::abs(int(block[0]) - 128);
        const int b = stereo && block.size() > 1 ? std::abs(int(block[1]) - 128) : a;
        LeftPeak_ = a * 100 / 128;
        RightPeak_ = b * 100 / 128;
    } else if (block.size() >= 2) {
        const int a = std::abs(int(qFromLittleEndian<qint16>(block.data())));
        const int b = stereo && block.size() >= 4
            ? std::abs(int(qFromLittleEndian<qint16>(block.data() + 2)))
            : a;
        LeftPeak_ = a * 100 / 32768;
        RightPeak_ = b * 100 / 32768;
    }
    // 2. One more block played.
    Position_ = Position_ + 1;
    ElapsedSeconds_ =
        ceilDiv(std::uint64_t(Position_) * std::uint64_t(std::max(BufferTime, 0)), 1000);
    // 3.
    if (PlayState_ == Playing && OnPeak)
        OnPeak(this);
    // 4. The last block of the file.
    if (Position_ == int(BlockTotal_)) {
        PlayState_ = Stopped;
        Position_ = 0;
        ElapsedSeconds_ = 0;
        if (OnComplete)
            OnComplete(this);
    }
    // 5. Refill the finished block (an event may have closed the component meanwhile).
    if (PlayState_ == Playing && header < int(Headers.size()) && file_.isOpen())
        fillAndWrite(header, nullptr);
}

} // namespace waveout
