#pragma once
// The keys of the main window. Each key does exactly what a click on its control does, and only
// while that control is enabled, so the transport's enabling rules hold for the keyboard too:
//   Space      Play/pause (QLTCircleButtonPlay)
//   R          Record/pause (QLTCircleButtonRecord)
//   S, Escape  Stop (QLTCircleButtonStop)
//   Return, keypad Enter
//              plays the selected file from its start (a double click on the list's current row,
//              while Play is enabled)
//   Delete     QLTButtonDelete (asks first, as the button does)
//   F2         QLTButtonRename
//   F5         QLTButtonRefurbish
//   Ctrl+O     QLTButtonOpen
//   Ctrl+Q     MenuSysExit
// The buttons' hints show their key ("Record (R)").
//
// Wiring (a key presses its control, whoever handles it):
//     new KeyboardCommands(layout, &layout);
#include <QKeySequence>
#include <QList>
#include <QObject>

class QShortcut;

namespace skin {
class MainFormLayout;
}

namespace app {

class KeyboardCommands : public QObject {
    Q_OBJECT
public:
    // Installs the shortcuts on the layout's window and the key texts on the buttons' hints.
    explicit KeyboardCommands(skin::MainFormLayout& layout, QObject* parent = nullptr);

    // Every key the window answers, in the order above.
    QList<QKeySequence> keys() const;

private:
    void add(const QKeySequence& key, void (KeyboardCommands::*command)());

    void play();
    void record();
    void stop();
    void playSelected();
    void deleteFile();
    void rename();
    void refresh();
    void open();
    void exit();

    skin::MainFormLayout& layout_;
    QList<QShortcut*> shortcuts_;
};

} // namespace app
