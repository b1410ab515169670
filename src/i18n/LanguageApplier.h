#pragma once
// Applies a language to every window that exists: first the font of each window that takes
// it (main window, About box, record format dialog, sound source dialog, in this order; the
// editor question keeps its own), then every text of the window-text table, in table order.
// Windows register their view when they are created; texts of a window that is not
// registered are skipped.
#include <QList>
#include <QString>

#include <functional>

namespace i18n {

class LanguageFile;
class WindowTextsView;

class LanguageApplier {
public:
    // windowName: the window's class name as in the window-text table ("TMainForm",
    // "TAboutForm", "TFormatForm", "TSoundSourceForm", "TRunDravenaForm"). A second
    // registration under the same name replaces the first.
    void registerWindow(const QString& windowName, WindowTextsView* view);
    void unregisterWindow(const QString& windowName);
    bool isRegistered(const QString& windowName) const;

    void apply(const LanguageFile& ini, bool newerSystem, bool stereoSelected) const;
    // As above, with whether stereo is selected read from the source (stereo without one). The
    // channel label of the record format dialog depends on it.
    void apply(const LanguageFile& ini, bool newerSystem) const;
    void setStereoSelectedSource(std::function<bool()> source)
    {
        stereoSelected_ = std::move(source);
    }

    // True for the windows that take the language's font.
    static bool takesFont(const QString& windowName);

private:
    struct Entry {
        QString name;
        WindowTextsView* view;
    };
    QList<Entry> windows_;
    std::function<bool()> stereoSelected_;
};

} // namespace i18n
