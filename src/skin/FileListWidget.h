#pragma once
// The recordings list's widget: a QTreeWidget that tells when the user made another row
// current (arrow keys, Home, End, Page Up/Down, typing a name, a press or a drag of the mouse).
// A row made current from code tells nothing, so whoever follows the user's moves is not run
// again by its own selecting.
#include <QTreeWidget>

namespace skin {

class FileListWidget : public QTreeWidget {
    Q_OBJECT
public:
    explicit FileListWidget(QWidget* parent = nullptr) : QTreeWidget(parent) { }

signals:
    void currentMovedByUser();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Runs the widget's own handling of an input event and tells when it moved the current row.
    template <typename Handle> void watch(Handle handle);
};

} // namespace skin
