#include "recording/RecordWriterFactory.h"

#include "recording/WavWriter.h"
#include "recording/Wavtomp3.h"
#include "recording/Wavtowma.h"

std::unique_ptr<RecordWriter> RecordWriterFactory::create(std::uint8_t formatCode)
{
    switch (formatCode) {
    case RecordFormat::Wav: return std::make_unique<WavWriter>();
    case RecordFormat::Mp3: return std::make_unique<Wavtomp3>(messages_);
    default: return std::make_unique<Wavtowma>(messages_);
    }
}
