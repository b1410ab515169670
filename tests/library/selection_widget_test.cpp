// ctest-label: gui
// The list adapter over a real QTreeWidget, as the main window builds it: items, icons,
// selection and the focus mark, and the selection surviving a click.
#include "library/TreeWidgetFileListView.h"

#include <QPixmap>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// Three icons told apart by colour: red, green, blue.
QList<QIcon> colourIcons()
{
    QList<QIcon> icons;
    for (Qt::GlobalColor c : {Qt::red, Qt::green, Qt::blue}) {
        QPixmap p(16, 16);
        p.fill(c);
        icons << QIcon(p);
    }
    return icons;
}

} // namespace

TEST(TreeWidgetFileListView, ItemsSelectionAndFocus)
{
    QTreeWidget widget;
    widget.setColumnCount(2);
    widget.setSelectionMode(QAbstractItemView::SingleSelection);
    widget.setSelectionBehavior(QAbstractItemView::SelectRows);
    widget.resize(250, 130);
    library::TreeWidgetFileListView view(&widget);
    view.setIcons(colourIcons());
    view.addItem("a.mp3", 1, "00:03");
    view.addItem("b.WAV", 0, "1:00:00");
    view.addItem("C.wma", 2, "00:00");
    ASSERT_EQ(view.count(), 3);
    EXPECT_EQ(view.caption(1), "b.WAV");
    EXPECT_EQ(view.caption(5), QString());
    EXPECT_EQ(widget.topLevelItem(1)->text(1), "1:00:00");
    EXPECT_EQ(widget.topLevelItem(2)->icon(0).pixmap(16, 16).toImage().pixel(0, 0), QColor(Qt::blue).rgb());
    EXPECT_EQ(view.selectedIndex(), -1);

    view.setSelectedIndex(2);
    EXPECT_EQ(view.selectedIndex(), 2);
    EXPECT_EQ(view.focusedIndex(), 2);
    EXPECT_EQ(widget.selectedItems().size(), 1);
    view.setSelectedIndex(0);
    EXPECT_EQ(view.selectedIndex(), 0);
    EXPECT_EQ(widget.selectedItems().size(), 1) << "one item at a time";

    view.removeItem(0);
    EXPECT_EQ(view.count(), 2);
    EXPECT_EQ(view.selectedIndex(), -1);

    view.setSelectedIndex(1);
    view.setSelectedIndex(-1);
    EXPECT_EQ(view.selectedIndex(), -1);
    EXPECT_EQ(view.focusedIndex(), -1);

    // A mouse click on a row makes it current and selected, as the click handler expects.
    widget.show();
    const QRect row = widget.visualItemRect(widget.topLevelItem(1));
    QTest::mouseClick(widget.viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(view.focusedIndex(), 1);
    EXPECT_EQ(view.selectedIndex(), 1);

    view.clear();
    EXPECT_EQ(view.count(), 0);
    EXPECT_EQ(view.selectedIndex(), -1);
}

// Edits in place on the real widget: inserted items look like added ones (icon, right-aligned
// duration), durations change where they are, and finishing leaves what a rebuild leaves.
TEST(TreeWidgetFileListView, EditsInPlace)
{
    QTreeWidget widget;
    widget.setColumnCount(2);
    widget.resize(250, 60);
    library::TreeWidgetFileListView view(&widget);
    view.setIcons(colourIcons());
    ASSERT_TRUE(view.canEditInPlace());
    for (int i = 0; i < 20; ++i)
        view.addItem(QStringLiteral("f%1.wav").arg(i, 2, 10, QLatin1Char('0')), 0, "00:01");
    view.setSelectedIndex(19); // scrolled down to it
    ASSERT_GT(widget.verticalScrollBar()->value(), 0);

    view.insertItem(1, "f00b.wma", 2, "00:07");
    view.setDuration(3, "01:05");
    view.finishEdits();

    ASSERT_EQ(view.count(), 21);
    EXPECT_EQ(view.caption(0), "f00.wav");
    EXPECT_EQ(view.caption(1), "f00b.wma");
    EXPECT_EQ(view.caption(2), "f01.wav");
    EXPECT_EQ(view.duration(1), "00:07");
    EXPECT_EQ(view.duration(3), "01:05");
    EXPECT_EQ(view.duration(4), "00:01");
    const QTreeWidgetItem* inserted = widget.topLevelItem(1);
    const QTreeWidgetItem* added = widget.topLevelItem(0);
    EXPECT_EQ(inserted->textAlignment(1), added->textAlignment(1));
    EXPECT_EQ(inserted->icon(0).pixmap(16).toImage().pixel(8, 8), QColor(Qt::blue).rgb());
    EXPECT_EQ(view.selectedIndex(), -1);
    EXPECT_EQ(view.focusedIndex(), -1);
    EXPECT_EQ(widget.verticalScrollBar()->value(), 0);
}
