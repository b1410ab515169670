#include "library/TreeWidgetFileListView.h"

#include <QTreeWidget>

namespace library {

void TreeWidgetFileListView::clear()
{
    widget_->clear();
}

QTreeWidgetItem* TreeWidgetFileListView::makeItem(const QString& caption, int imageIndex,
                                                  const QString& duration) const
{
    auto* item = new QTreeWidgetItem(QStringList{caption, duration});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    if (imageIndex >= 0 && imageIndex < icons_.size())
        item->setIcon(0, icons_[imageIndex]);
    return item;
}

void TreeWidgetFileListView::addItem(const QString& caption, int imageIndex, const QString& duration)
{
    widget_->addTopLevelItem(makeItem(caption, imageIndex, duration));
}

void TreeWidgetFileListView::addItems(const QList<Item>& items)
{
    QList<QTreeWidgetItem*> made;
    made.reserve(items.size());
    for (const Item& i : items)
        made.append(makeItem(i.caption, i.imageIndex, i.duration));
    widget_->addTopLevelItems(made);
}

void TreeWidgetFileListView::insertItem(int index, const QString& caption, int imageIndex,
                                        const QString& duration)
{
    widget_->insertTopLevelItem(index, makeItem(caption, imageIndex, duration));
}

QString TreeWidgetFileListView::duration(int index) const
{
    const QTreeWidgetItem* item = widget_->topLevelItem(index);
    return item ? item->text(1) : QString();
}

void TreeWidgetFileListView::setDuration(int index, const QString& duration)
{
    if (QTreeWidgetItem* item = widget_->topLevelItem(index))
        item->setText(1, duration);
}

void TreeWidgetFileListView::finishEdits()
{
    setSelectedIndex(-1);
    widget_->scrollToTop();
}

void TreeWidgetFileListView::removeItem(int index)
{
    // The widget would move the selection to a neighbour; a removed selected item leaves
    // nothing selected.
    const bool wasSelected = index == selectedIndex();
    delete widget_->takeTopLevelItem(index);
    if (wasSelected)
        setSelectedIndex(-1);
}

int TreeWidgetFileListView::count() const
{
    return widget_->topLevelItemCount();
}

QString TreeWidgetFileListView::caption(int index) const
{
    const QTreeWidgetItem* item = widget_->topLevelItem(index);
    return item ? item->text(0) : QString();
}

int TreeWidgetFileListView::selectedIndex() const
{
    const QList<QTreeWidgetItem*> selected = widget_->selectedItems();
    return selected.isEmpty() ? -1 : widget_->indexOfTopLevelItem(selected.first());
}

void TreeWidgetFileListView::setSelectedIndex(int index)
{
    QTreeWidgetItem* item = index >= 0 ? widget_->topLevelItem(index) : nullptr;
    widget_->clearSelection();
    if (!item) {
        widget_->setCurrentItem(nullptr);
        return;
    }
    widget_->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    widget_->scrollToItem(item);
}

int TreeWidgetFileListView::focusedIndex() const
{
    QTreeWidgetItem* item = widget_->currentItem();
    return item ? widget_->indexOfTopLevelItem(item) : -1;
}

} // namespace library
