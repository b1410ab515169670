#pragma once
// The main window's transport controls as the presenter sees them, over the skinned layout
// (the information panel has its own view, FileInfoPanel).
#include "app/TransportView.h"

namespace skin {
class MainFormLayout;
}

namespace app {

class MainFormViews : public TransportView {
public:
    explicit MainFormViews(skin::MainFormLayout& layout) : layout_(layout) {}

    // TransportView
    void setControlEnabled(TransportControl control, bool enabled) override;
    void setButtonDown(TransportControl control, bool down) override;
    void setButtonHint(TransportControl control, const QString& hint) override;
    void setSliderPosition(int position) override;
    void setFolderCaption(const QString& folder) override;

private:
    skin::MainFormLayout& layout_;
};

} // namespace app
