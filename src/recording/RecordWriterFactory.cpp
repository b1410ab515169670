#include "recording/RecordWriterFactory.h"

#include "platform/CodecModule.h"
#include "recording/AdapterMessage.h"
#include "recording/Mp3Writer.h"
#include "recording/WavWriter.h"

namespace recording {

namespace {

// WMA without the codec module (a damaged installation): the same message as an encoder that
// is missing from FFmpeg, and no file.
class NoWmaWriter : public RecordWriter {
public:
    explicit NoWmaWriter(platform::MessageSink& messages)
    {
        recording::showAdapterMessage(messages, QStringLiteral("WMA Audio SDK"), "Could not load wmaudsdk.dll file");
    }
    int open(const QString&, const RecordFormat&) override { return -1; }
    bool write(const char*, std::int64_t) override { return false; }
    bool close() override { return true; }
    int chunkSize() const override { return 0; }
};

} // namespace

std::unique_ptr<RecordWriter> RecordWriterFactory::create(std::uint8_t formatCode)
{
    switch (formatCode) {
    case RecordFormat::Wav: return std::make_unique<WavWriter>();
    case RecordFormat::Mp3: return std::make_unique<Mp3Writer>(messages_);
    default: {
        // The WMA writer lives in the codec module, loaded now if it was not yet.
        using Make = RecordWriter* (*)(platform::MessageSink*);
        if (const auto make = reinterpret_cast<Make>(platform::codecModuleSymbol("vexa_new_wma_writer")))
            return std::unique_ptr<RecordWriter>(make(&messages_));
        return std::make_unique<NoWmaWriter>(messages_);
    }
    }
}

} // namespace recording
