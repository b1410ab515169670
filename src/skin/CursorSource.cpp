#include "skin/CursorSource.h"

#include <QCursor>

namespace skin {

CursorSource systemCursorSource()
{
    return []() -> std::optional<QPoint> { return QCursor::pos(); };
}

} // namespace skin
