#include "skin/FileListWidget.h"

#include <QPersistentModelIndex>

namespace skin {

template <typename Handle> void FileListWidget::watch(Handle handle)
{
    const QPersistentModelIndex before = currentIndex();
    handle();
    if (QPersistentModelIndex(currentIndex()) != before)
        emit currentMovedByUser();
}

void FileListWidget::keyPressEvent(QKeyEvent* event)
{
    watch([&] { QTreeWidget::keyPressEvent(event); });
}

void FileListWidget::mousePressEvent(QMouseEvent* event)
{
    watch([&] { QTreeWidget::mousePressEvent(event); });
}

void FileListWidget::mouseMoveEvent(QMouseEvent* event)
{
    watch([&] { QTreeWidget::mouseMoveEvent(event); });
}

void FileListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    watch([&] { QTreeWidget::mouseReleaseEvent(event); });
}

} // namespace skin
