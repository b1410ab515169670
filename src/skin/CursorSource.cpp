#include "skin/CursorSource.h"

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QSinglePointEvent>
#include <memory>

namespace skin {

namespace {

// Follows the pointer through the mouse events that reach the program's windows (every event
// passes the application's filters). Lives on the GUI thread with the sources that hold it.
class PointerTracker : public QObject {
public:
    PointerTracker()
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(this);
    }

    // The position from the last event while it is still where the pointer is.
    std::optional<QPoint> known() const
    {
        if (!over_ || QGuiApplication::modalWindow())
            return std::nullopt;
        return position_;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Enter:
            // The windows (not their widgets) hear of the pointer first, in global terms. A
            // bare enter without a position (one Qt makes up) tells nothing.
            if (watched->isWindowType() && event->isSinglePointEvent()) {
                position_ = static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
                over_ = watched;
            }
            break;
        case QEvent::Leave:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::WindowBlocked:
            // The pointer may move on without a word to the window it is over: a leave, a window
            // moved by the window manager (which holds the mouse meanwhile), a modal window
            // over it. Another window's leave (a tooltip's) changes nothing.
            if (watched == over_)
                over_ = nullptr;
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
            over_ = nullptr; // another program holds the mouse
            break;
        default:
            break;
        }
        return false;
    }

private:
    QPoint position_;
    QPointer<QObject> over_; // the window the last event came to, while it still holds

};

} // namespace

CursorSource systemCursorSource()
{
    return []() -> std::optional<QPoint> { return QCursor::pos(); };
}

CursorSource sharedSystemCursorSource(int maxAgeMs)
{
    struct Cache {
        QElapsedTimer age;
        QPoint position;
        std::unique_ptr<PointerTracker> tracker = std::make_unique<PointerTracker>();
    };
    auto cache = std::make_shared<Cache>();
    return [cache, maxAgeMs]() -> std::optional<QPoint> {
        if (const std::optional<QPoint> known = cache->tracker->known())
            return known;
        if (!cache->age.isValid() || cache->age.elapsed() >= maxAgeMs) {
            cache->position = QCursor::pos();
            cache->age.start();
        }
        return cache->position;
    };
}

} // namespace skin
