#include "app/KeyboardCommands.h"

#include "skin/MainFormLayout.h"
#include "skin/SkinButton.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QShortcut>
#include <QTreeWidget>

namespace app {

namespace {

// A click, as the button gives it on a release over itself: nothing while it is disabled.
void click(skin::SkinButton* button)
{
    if (button && button->Enabled() && button->isEnabled())
        emit button->clicked();
}

QString keyText(const QKeySequence& key)
{
    return key.toString(QKeySequence::NativeText);
}

} // namespace

KeyboardCommands::KeyboardCommands(skin::MainFormLayout& layout, QObject* parent)
    : QObject(parent), layout_(layout)
{
    add(QKeySequence(Qt::Key_Space), &KeyboardCommands::play);
    add(QKeySequence(Qt::Key_R), &KeyboardCommands::record);
    add(QKeySequence(Qt::Key_S), &KeyboardCommands::stop);
    add(QKeySequence(Qt::Key_Escape), &KeyboardCommands::stop);
    add(QKeySequence(Qt::Key_Return), &KeyboardCommands::playSelected);
    add(QKeySequence(Qt::Key_Enter), &KeyboardCommands::playSelected);
    add(QKeySequence(Qt::Key_Delete), &KeyboardCommands::deleteFile);
    add(QKeySequence(Qt::Key_F2), &KeyboardCommands::rename);
    add(QKeySequence(Qt::Key_F5), &KeyboardCommands::refresh);
    add(QKeySequence(Qt::CTRL | Qt::Key_O), &KeyboardCommands::open);
    add(QKeySequence(Qt::CTRL | Qt::Key_Q), &KeyboardCommands::exit);

    layout_.QLTCircleButtonPlay->SetKeyHint(keyText(QKeySequence(Qt::Key_Space)));
    layout_.QLTCircleButtonRecord->SetKeyHint(keyText(QKeySequence(Qt::Key_R)));
    layout_.QLTCircleButtonStop->SetKeyHint(keyText(QKeySequence(Qt::Key_S)));
    layout_.QLTButtonDelete->SetKeyHint(keyText(QKeySequence(Qt::Key_Delete)));
    layout_.QLTButtonRename->SetKeyHint(keyText(QKeySequence(Qt::Key_F2)));
    layout_.QLTButtonRefurbish->SetKeyHint(keyText(QKeySequence(Qt::Key_F5)));
    layout_.QLTButtonOpen->SetKeyHint(keyText(QKeySequence(Qt::CTRL | Qt::Key_O)));
    layout_.QLTButtonClose->SetKeyHint(keyText(QKeySequence(Qt::CTRL | Qt::Key_Q)));
}

QList<QKeySequence> KeyboardCommands::keys() const
{
    QList<QKeySequence> out;
    for (const QShortcut* s : shortcuts_)
        out << s->key();
    return out;
}

void KeyboardCommands::add(const QKeySequence& key, void (KeyboardCommands::*command)())
{
    auto* shortcut = new QShortcut(key, layout_.window);
    // Held down, a key would toggle record/pause or play/pause over and over.
    shortcut->setAutoRepeat(false);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, command);
    shortcuts_ << shortcut;
}

void KeyboardCommands::play() { click(layout_.QLTCircleButtonPlay); }
void KeyboardCommands::record() { click(layout_.QLTCircleButtonRecord); }
void KeyboardCommands::stop() { click(layout_.QLTCircleButtonStop); }
void KeyboardCommands::deleteFile() { click(layout_.QLTButtonDelete); }
void KeyboardCommands::rename() { click(layout_.QLTButtonRename); }
void KeyboardCommands::refresh() { click(layout_.QLTButtonRefurbish); }
void KeyboardCommands::open() { click(layout_.QLTButtonOpen); }

void KeyboardCommands::playSelected()
{
    // The list is disabled while recording; Play is disabled whenever nothing may be played.
    QTreeWidget* list = layout_.ListViewFiles;
    const skin::SkinButton* play = layout_.QLTCircleButtonPlay;
    if (!play->Enabled() || !list->isEnabled())
        return;
    QTreeWidgetItem* item = list->currentItem();
    if (!item)
        return;
    emit list->itemDoubleClicked(item, 0);
}

void KeyboardCommands::exit()
{
    // QAction::trigger does nothing while the item is disabled.
    layout_.MenuSysExit->trigger();
}

} // namespace app
