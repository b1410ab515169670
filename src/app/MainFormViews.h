#pragma once
// The main window's controls as the logic sees them: the transport controls and the
// information panel over the skinned layout (the list has its own view in the library).
#include "app/TransportView.h"
#include "library/FileInfoView.h"

namespace skin {
class MainFormLayout;
}

class MainFormViews : public TransportView, public library::FileInfoView {
public:
    explicit MainFormViews(skin::MainFormLayout& layout) : layout_(layout) {}

    // TransportView
    void setControlEnabled(TransportControl control, bool enabled) override;
    void setButtonDown(TransportControl control, bool down) override;
    void setButtonHint(TransportControl control, const QString& hint) override;
    void setSliderPosition(int position) override;
    void setFolderCaption(const QString& folder) override;

    // FileInfoView
    void setFileInfoLabels(const library::FileInfoLabels& labels) override;
    void setFileName(const QString& name) override;

private:
    skin::MainFormLayout& layout_;
};
