// libFuzzer target: the RIFF header reader behind the file list and the information panel.
// Each input is the whole file; it is handed over as a memory file so that the reader goes
// through its real open path (regular files only, without waiting).
#include "library/WaveHeader.h"
#include "platform/MessageSink.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

int memoryFile()
{
    static const int fd = memfd_create("wavheader", 0);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = memoryFile();
    if (fd < 0 || ftruncate(fd, 0) != 0 || (size && pwrite(fd, data, size, 0) != ssize_t(size)))
        return 0;
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);

    library::WaveInfo info;
    const library::WaveHeaderResult result = library::WaveHeader::read(path, info);
    if (result == library::WaveHeaderResult::Ok) {
        // What a success promises: a described PCM format, and no more audio than the file holds.
        if (info.BitsPerSample != 8 && info.BitsPerSample != 16)
            std::abort();
        if (std::uint64_t(info.DataSize) + 12 > size)
            std::abort();
        const std::uint64_t byteRate =
            std::uint64_t(info.SampleRate) * info.Channels * info.BitsPerSample / 8;
        if (byteRate == 0 ? info.Duration != 0 : info.Duration != info.DataSize / byteRate)
            std::abort();
    }
    if (result != library::WaveHeaderResult::Ok && library::WaveHeader::message(result).text.isEmpty())
        std::abort(); // every refusal has its words
    return 0;
}
