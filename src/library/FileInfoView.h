#pragma once
// The information panel of the main window: six labels describing the selected file (or the
// record format), and the file-name label whose hint repeats its caption.
#include <QString>

namespace library {

struct FileInfoLabels {
    QString format;     // LabelFormat
    QString frequency;  // LabelFrequency
    QString channel;    // LabelChannel
    QString bits;       // LabelBits
    QString bitrate;    // LabelBitrate
    QString totalTime;  // LabelTotalTime

    bool operator==(const FileInfoLabels& o) const
    {
        return format == o.format && frequency == o.frequency && channel == o.channel &&
               bits == o.bits && bitrate == o.bitrate && totalTime == o.totalTime;
    }
};

class FileInfoView {
public:
    virtual ~FileInfoView() = default;
    virtual void setFileInfoLabels(const FileInfoLabels& labels) = 0;
    // LabelFileName: caption and hint both set to the name.
    virtual void setFileName(const QString& name) = 0;
};

} // namespace library
