#include "skin/CursorSource.h"

#include <QCursor>
#include <QElapsedTimer>
#include <memory>

namespace skin {

CursorSource systemCursorSource()
{
    return []() -> std::optional<QPoint> { return QCursor::pos(); };
}

CursorSource sharedSystemCursorSource(int maxAgeMs)
{
    struct Cache {
        QElapsedTimer age;
        QPoint position;
    };
    auto cache = std::make_shared<Cache>();
    return [cache, maxAgeMs]() -> std::optional<QPoint> {
        if (!cache->age.isValid() || cache->age.elapsed() >= maxAgeMs) {
            cache->position = QCursor::pos();
            cache->age.start();
        }
        return cache->position;
    };
}

} // namespace skin
