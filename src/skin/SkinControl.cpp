#include "skin/SkinControl.h"

#include "skin/CursorPoll.h"

#include <QEvent>
#include <QPainter>
#include <QToolTip>

namespace skin {

SkinControl::SkinControl(QWidget* parent, CursorSource cursor)
    : QWidget(parent), cursor_(cursor ? std::move(cursor) : systemCursorSource())
{
    // Whatever lies below shows through everything the control does not draw.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void SkinControl::setCursorSource(CursorSource cursor)
{
    cursor_ = cursor ? std::move(cursor) : systemCursorSource();
}

void SkinControl::joinCursorPoll(std::function<void()> step)
{
    if (!poll_)
        poll_ = CursorPoll::of(this);
    poll_->join(this, std::move(step));
}

void SkinControl::leaveCursorPoll()
{
    if (poll_)
        poll_->leave(this);
}

bool SkinControl::inCursorPoll() const { return poll_ && poll_->isMember(this); }

void SkinControl::SetHint(const QString& hint)
{
    hint_ = hint;
    setToolTip(hintWithKey(hint_, keyHint_));
}

void SkinControl::SetKeyHint(const QString& key)
{
    keyHint_ = key;
    setToolTip(hintWithKey(hint_, keyHint_));
}

QString SkinControl::hintWithKey(const QString& hint, const QString& key)
{
    if (hint.isEmpty() || key.isEmpty())
        return hint;
    return hint + QStringLiteral(" (") + key + QLatin1Char(')');
}

void SkinControl::SetShowHint(bool show)
{
    showHint_ = show;
    if (!show && underMouse())
        QToolTip::hideText();
}

QImage SkinControl::renderImage()
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintTo(painter);
    return image;
}

QRgb SkinControl::keyColourOf(const QImage& bitmap)
{
    if (bitmap.isNull())
        return 0;
    return bitmap.pixel(0, 0) & 0xFFFFFF;
}

QImage SkinControl::toBitmap(const QImage& image)
{
    if (image.isNull())
        return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage SkinControl::withKeyTransparent(const QImage& bitmap, QRgb key)
{
    if (bitmap.isNull())
        return QImage();
    QImage out = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if (isKey(line[x], key))
                line[x] = 0;
    }
    return out;
}

std::optional<QPoint> SkinControl::cursorInClient() const
{
    const std::optional<QPoint> global = cursor_();
    if (!global)
        return std::nullopt;
    return mapFromGlobal(*global);
}

bool SkinControl::strictlyInside(const QPoint& p) const
{
    return p.x() > 0 && p.x() < width() && p.y() > 0 && p.y() < height();
}

bool SkinControl::hasHandCursor() const
{
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::PointingHandCursor;
}

void SkinControl::setHandCursor(bool hand)
{
    if (hand == hasHandCursor())
        return;
    if (hand)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void SkinControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintTo(painter);
}

bool SkinControl::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && (!showHint_ || toolTip().isEmpty())) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

} // namespace skin
