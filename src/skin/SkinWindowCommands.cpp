#include "skin/SkinWindowCommands.h"

#include "skin/MainFormLayout.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTSkinForm.h"

#include <QAction>
#include <QWidget>

namespace skin {

SkinWindowCommands::SkinWindowCommands(MainFormLayout& layout, QObject* parent)
    : QObject(parent), layout_(layout)
{
}

void SkinWindowCommands::openSystemMenu()
{
    layout_.popupBelow(layout_.PopupMenuSystem, layout_.QLTButtonIcon);
}

void SkinWindowCommands::openSpectrumMenu()
{
    layout_.popupBelow(layout_.PopupMenuSpectrum, layout_.QLTButtonSpectrum);
}

void SkinWindowCommands::minimize()
{
    layout_.window->showMinimized();
}

void SkinWindowCommands::close()
{
    layout_.window->close();
}

void SkinWindowCommands::setStayOnTop(bool on)
{
    QWidget* window = layout_.window;
    layout_.MenuSysOnTop->setChecked(on);
    if (stayOnTop() == on)
        return;
    const bool wasVisible = window->isVisible();
    const QSize size = window->size();
    const QPoint pos = window->pos();
    // Changing the flag recreates the native window, which hides it and may drop its shape.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    layout_.QLTSkinForm1->Repaint();
    // Rebuilding the shape sizes the window to the skin; a hidden list stays hidden.
    window->resize(size);
    if (wasVisible) {
        window->move(pos);
        window->show();
    }
}

bool SkinWindowCommands::stayOnTop() const
{
    return layout_.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace skin
