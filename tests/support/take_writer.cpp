#include "support/take_writer.h"

#include "recording/RecordWriter.h"

namespace testsupport {

bool writeAsTake(recording::RecordWriter& writer, const QString& path,
                 const recording::RecordFormat& format, const std::vector<std::int16_t>& pcm)
{
    const int opened = writer.open(path, format);
    if (opened < 0)
        return false;
    const auto* bytes = reinterpret_cast<const char*>(pcm.data());
    const std::int64_t total = std::int64_t(pcm.size()) * 2;
    const std::int64_t chunk = opened > 0 ? opened : total; // 0: any block
    std::int64_t done = 0;
    for (; chunk > 0 && done + chunk <= total; done += chunk)
        if (!writer.write(bytes + done, chunk))
            return false;
    return writer.write(bytes + done, total - done) && writer.close();
}

} // namespace testsupport
