#pragma once
// FileListView over the main window's list widget (a two-column QTreeWidget: the name with its
// icon, the duration). Selecting from code also makes the item current (the focus mark) and
// scrolls it into view; it emits the widget's selection signals, not its click signals.
#include "library/FileListView.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace library {

class TreeWidgetFileListView : public FileListView {
public:
    explicit TreeWidgetFileListView(QTreeWidget* widget) : widget_(widget) {}

    void setIcons(const QList<QIcon>& icons) override { icons_ = icons; }
    void clear() override;
    void addItem(const QString& caption, int imageIndex, const QString& duration) override;
    void addItems(const QList<Item>& items) override;
    void removeItem(int index) override;
    int count() const override;
    QString caption(int index) const override;
    int selectedIndex() const override;
    void setSelectedIndex(int index) override;
    int focusedIndex() const override;
    bool canEditInPlace() const override { return true; }
    void insertItem(int index, const QString& caption, int imageIndex, const QString& duration) override;
    QString duration(int index) const override;
    void setDuration(int index, const QString& duration) override;
    void finishEdits() override;

    // ImageList2 as last set.
    const QList<QIcon>& icons() const { return icons_; }

private:
    QTreeWidgetItem* makeItem(const QString& caption, int imageIndex, const QString& duration) const;

    QTreeWidget* widget_;
    QList<QIcon> icons_;
};

} // namespace library
