#pragma once
// A button of any outline: five opaque pictures (normal, hover, down, down and hover,
// disabled) drawn at the top-left corner, and a mask bitmap whose pixels of its top-left
// colour lie outside the button. The owner latches the down look (transport buttons, mute).
// The cursor poll runs for the button's whole life, also while it is disabled.
#include "skin/SkinButton.h"

#include <QImage>

namespace skin {

class TQLTCircleButton : public SkinButton {
    Q_OBJECT
    Q_PROPERTY(QImage ButtonBmp READ ButtonBmp WRITE SetButtonBmp)
    Q_PROPERTY(QImage ActiveButtonBmp READ ActiveButtonBmp WRITE SetActiveButtonBmp)
    Q_PROPERTY(QImage DownButtonBmp READ DownButtonBmp WRITE SetDownButtonBmp)
    Q_PROPERTY(QImage DownActiveButtonBmp READ DownActiveButtonBmp WRITE SetDownActiveButtonBmp)
    Q_PROPERTY(QImage DisenableButtonBmp READ DisenableButtonBmp WRITE SetDisenableButtonBmp)
    Q_PROPERTY(QImage MaskBmp READ MaskBmp WRITE SetMaskBmp)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(bool bShowHint MEMBER bShowHint)
public:
    explicit TQLTCircleButton(QWidget* parent = nullptr, CursorSource cursor = {});

    QImage ButtonBmp() const { return buttonBmp_; }
    void SetButtonBmp(const QImage& bitmap) { buttonBmp_ = toBitmap(bitmap); }
    QImage ActiveButtonBmp() const { return activeButtonBmp_; }
    void SetActiveButtonBmp(const QImage& bitmap) { activeButtonBmp_ = toBitmap(bitmap); }
    QImage DownButtonBmp() const { return downButtonBmp_; }
    void SetDownButtonBmp(const QImage& bitmap) { downButtonBmp_ = toBitmap(bitmap); }
    QImage DownActiveButtonBmp() const { return downActiveButtonBmp_; }
    void SetDownActiveButtonBmp(const QImage& bitmap) { downActiveButtonBmp_ = toBitmap(bitmap); }
    QImage DisenableButtonBmp() const { return disenableButtonBmp_; }
    void SetDisenableButtonBmp(const QImage& bitmap) { disenableButtonBmp_ = toBitmap(bitmap); }
    QImage MaskBmp() const { return maskBmp_; }
    void SetMaskBmp(const QImage& bitmap) { maskBmp_ = toBitmap(bitmap); }

    void SetEnabled(bool enabled);
    bool Down() const { return down_; }
    void SetDown(bool down);

    // Show the hint only while the mouse is inside the outline.
    bool bShowHint = false;

protected:
    // Hovered while over the outline and enabled; the poll runs it also while disabled.
    void followPointer(const QPoint& p) override;
    void paintTo(QPainter& painter) override;

private:
    void leave();

    QImage buttonBmp_, activeButtonBmp_, downButtonBmp_, downActiveButtonBmp_;
    QImage disenableButtonBmp_, maskBmp_;
    bool down_ = false;
};

} // namespace skin
