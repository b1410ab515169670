#include "skin/RightAlignedColumnDelegate.h"

namespace skin {

RightAlignedColumnDelegate::RightAlignedColumnDelegate(int column, QObject* parent)
    : QStyledItemDelegate(parent), column_(column)
{
}

void RightAlignedColumnDelegate::initStyleOption(QStyleOptionViewItem* option,
                                                 const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == column_)
        option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

} // namespace skin
