#pragma once
// A rectangular push button drawn from bitmaps over the skin: a normal, a hover and a disabled
// bitmap drawn centred with the normal bitmap's top-left colour transparent, and a rounded
// border while hovered (or always, with AlwayBorder). It finds the mouse by polling the cursor
// every 100 ms while enabled and clicks on a left release over it (see SkinButton).
#include "skin/SkinButton.h"

#include <QColor>
#include <QImage>

namespace skin {

class TQLTButton : public SkinButton {
    Q_OBJECT
    Q_PROPERTY(QImage ButtonBmp READ ButtonBmp WRITE SetButtonBmp)
    Q_PROPERTY(QImage ActiveButtonBmp READ ActiveButtonBmp WRITE SetActiveButtonBmp)
    Q_PROPERTY(QImage DisenableButtonBmp READ DisenableButtonBmp WRITE SetDisenableButtonBmp)
    Q_PROPERTY(QColor BorderColor MEMBER BorderColor)
    Q_PROPERTY(QColor ActiveBorderColor MEMBER ActiveBorderColor)
    Q_PROPERTY(QColor DisenableBorderColor MEMBER DisenableBorderColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool AlwayBorder MEMBER AlwayBorder)
public:
    explicit TQLTButton(QWidget* parent = nullptr, CursorSource cursor = {});

    QImage ButtonBmp() const { return buttonBmp_; }
    void SetButtonBmp(const QImage& bitmap);
    QImage ActiveButtonBmp() const { return activeButtonBmp_; }
    void SetActiveButtonBmp(const QImage& bitmap);
    QImage DisenableButtonBmp() const { return disenableButtonBmp_; }
    void SetDisenableButtonBmp(const QImage& bitmap);

    void SetEnabled(bool enabled);
    bool polling() const;

    // Plain fields, as published: changing them does not repaint.
    QColor BorderColor{255, 255, 0};
    QColor ActiveBorderColor{255, 255, 0};
    QColor DisenableBorderColor{255, 255, 0};
    bool AlwayBorder = false;

protected:
    // Hovered while strictly inside; the poll runs it only while enabled.
    void followPointer(const QPoint& p) override;
    void paintTo(QPainter& painter) override;

private:
    QImage buttonBmp_, activeButtonBmp_, disenableButtonBmp_;
};

} // namespace skin
