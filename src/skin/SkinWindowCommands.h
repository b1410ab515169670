#pragma once
// The small window commands of the skinned title bar, for the main window's handlers to call:
// the system and spectrum menus, minimise, close and stay on top. Saving the settings stays
// with the main window; these only act on the window.
#include <QObject>

class QWidget;

namespace skin {

class MainFormLayout;

class SkinWindowCommands : public QObject {
    Q_OBJECT
public:
    explicit SkinWindowCommands(MainFormLayout& layout, QObject* parent = nullptr);

    // QLTButtonIconClick: the system menu below the icon button.
    void openSystemMenu();
    // QLTButtonSpectrumClick: the spectrum menu below the spectrum button.
    void openSpectrumMenu();
    // QLTButtonMinimizeClick.
    void minimize();
    // QLTButtonCloseClick and MenuSysExit: closing the main window ends the program through
    // its close handling (shutdown sequence, settings saved).
    void close();

    // MenuSysOnTopClick (with MenuSysOnTop's check mark) and start-up (with the OnTop setting):
    // sets the check mark and the window flag and gives the recreated window its shape again.
    void setStayOnTop(bool on);
    bool stayOnTop() const;

private:
    MainFormLayout& layout_;
};

} // namespace skin
