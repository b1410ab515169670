#pragma once
// The beginning and the end of each take, and a newly chosen record format, as the recording
// announces them to whoever shows recordings (the recordings list listens). Listeners run on
// the GUI thread, in the order they were added, for the life of the object.
#include "recording/RecordFormat.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace recording {

// A take that ended: its file is closed. `complete`: the writer finished the file with all it
// was given, so a decoder reads exactly `frames` sample frames of `format` from it (its length
// is known without decoding it; for an MP3 that includes the encoder's delay and padding).
struct FinishedTake {
    QString path;
    RecordFormat format;
    std::uint64_t frames = 0;
    bool complete = false;
};

class TakeEvents {
public:
    void onStarted(std::function<void(const QString& path)> listener)
    {
        started_.push_back(std::move(listener));
    }
    void onFinished(std::function<void(const FinishedTake&)> listener)
    {
        finished_.push_back(std::move(listener));
    }
    void onFormatChosen(std::function<void()> listener)
    {
        formatChosen_.push_back(std::move(listener));
    }

    void started(const QString& path) const
    {
        for (const auto& listener : started_)
            listener(path);
    }
    void finished(const FinishedTake& take) const
    {
        for (const auto& listener : finished_)
            listener(take);
    }
    void formatChosen() const
    {
        for (const auto& listener : formatChosen_)
            listener();
    }

private:
    std::vector<std::function<void(const QString&)>> started_;
    std::vector<std::function<void(const FinishedTake&)>> finished_;
    std::vector<std::function<void()>> formatChosen_;
};

} // namespace recording
