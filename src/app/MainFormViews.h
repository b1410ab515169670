#pragma once
// The main window's controls as the logic sees them: the transport controls, the recordings
// list and the information panel, all over the skinned layout.
#include "app/TransportView.h"
#include "library/FileInfoView.h"
#include "library/FileListView.h"

namespace skin {
class MainFormLayout;
}

class MainFormViews : public TransportView, public library::FileListView, public library::FileInfoView {
public:
    explicit MainFormViews(skin::MainFormLayout& layout) : layout_(layout) {}

    // TransportView
    void setControlEnabled(TransportControl control, bool enabled) override;
    void setButtonDown(TransportControl control, bool down) override;
    void setButtonHint(TransportControl control, const QString& hint) override;
    void setSliderPosition(int position) override;
    void setFolderCaption(const QString& folder) override;

    // FileListView
    void setIcons(const QList<QIcon>& icons) override;
    void clear() override;
    void addItem(const QString& caption, int imageIndex, const QString& duration) override;
    void removeItem(int index) override;
    int count() const override;
    QString caption(int index) const override;
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    int focusedIndex() const override;

    // FileInfoView
    void setFileInfoLabels(const library::FileInfoLabels& labels) override;
    void setFileName(const QString& name) override;

private:
    skin::MainFormLayout& layout_;
    QList<QIcon> icons_;
};
