#pragma once
// The recordings list as the library logic sees it: the list control with its two columns
// (name, duration) and its small-icon list. The main window implements it over its list
// widget; tests use an in-memory one.
#include <QIcon>
#include <QList>
#include <QString>

namespace library {

class FileListView {
public:
    virtual ~FileListView() = default;

    // The small-icon list: always exactly three icons, for ".wav", ".mp3", ".wma".
    virtual void setIcons(const QList<QIcon>& icons) = 0;

    virtual void clear() = 0;
    virtual void addItem(const QString& caption, int imageIndex, const QString& duration) = 0;
    // Several items at the end at once, as addItem would add them one by one (a list widget
    // then lays itself out once instead of once per item).
    struct Item {
        QString caption;
        int imageIndex;
        QString duration;
    };
    virtual void addItems(const QList<Item>& items)
    {
        for (const Item& i : items)
            addItem(i.caption, i.imageIndex, i.duration);
    }
    virtual void removeItem(int index) = 0;
    virtual int count() const = 0;
    virtual QString caption(int index) const = 0;

    // The selected item, -1 for none. setSelectedIndex also gives the item the focus mark
    // (-1 clears the selection).
    virtual int selectedIndex() const = 0;
    virtual void setSelectedIndex(int index) = 0;

    // The item that carries the focus mark (the one last clicked), -1 for none.
    virtual int focusedIndex() const = 0;

    // Editing in place, for views that can: a re-list of a large folder then inserts, removes
    // and updates only the items that changed instead of building every item again. A view
    // that cannot is always cleared and filled.
    virtual bool canEditInPlace() const { return false; }
    virtual void insertItem(int /*index*/, const QString& /*caption*/, int /*imageIndex*/,
                            const QString& /*duration*/) {}
    virtual QString duration(int /*index*/) const { return QString(); }
    virtual void setDuration(int /*index*/, const QString& /*duration*/) {}
    // After in-place edits: what clear() and the adds would have left (nothing selected,
    // nothing focused, scrolled to the top).
    virtual void finishEdits() { setSelectedIndex(-1); }
};

} // namespace library
