#include "skin/SkinLabel.h"

#include <QEvent>
#include <QFontMetrics>

namespace skin {

SkinLabel::SkinLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setMargin(0);
    setIndent(0);
}

void SkinLabel::SetAutoSize(bool autoSize)
{
    autoSize_ = autoSize;
    fitWidth();
}

void SkinLabel::setText(const QString& text)
{
    QLabel::setText(text);
    fitWidth();
}

void SkinLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitWidth();
}

void SkinLabel::fitWidth()
{
    if (autoSize_)
        resize(QFontMetrics(font()).horizontalAdvance(text()), height());
}

} // namespace skin
