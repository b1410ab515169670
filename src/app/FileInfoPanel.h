#pragma once
// The information panel of the main window (format, rate, channels, bits, bit rate, length and
// the file name) as the library's logic sees it.
#include "library/FileInfoView.h"

namespace skin {
class MainFormLayout;
} // namespace skin

namespace app {

class FileInfoPanel : public library::FileInfoView {
public:
    explicit FileInfoPanel(skin::MainFormLayout& layout) : layout_(layout) { }

    void setFileInfoLabels(const library::FileInfoLabels& labels) override;
    void setFileName(const QString& name) override;

private:
    skin::MainFormLayout& layout_;
};

} // namespace app
