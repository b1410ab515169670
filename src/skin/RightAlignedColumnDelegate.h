#pragma once
// Draws the cells of one list column right-aligned (the length column of the file list),
// whoever fills the list.
#include <QStyledItemDelegate>

namespace skin {

class RightAlignedColumnDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    RightAlignedColumnDelegate(int column, QObject* parent);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    int column_;
};

} // namespace skin
