#pragma once
// Makes the writer for a format code: WavWriter for 0, Mp3Writer for 1, WmaWriter (from the codec
// module) for any other code. Virtual so that tests of the recording session can hand out fakes.
#include <memory>

#include "recording/RecordWriter.h"

namespace platform {
class MessageSink;
}

namespace recording {

class RecordWriterFactory {
public:
    explicit RecordWriterFactory(platform::MessageSink& messages) : messages_(messages) {}
    virtual ~RecordWriterFactory() = default;

    virtual std::unique_ptr<RecordWriter> create(std::uint8_t formatCode);

protected:
    platform::MessageSink& messages_;
};

} // namespace recording
