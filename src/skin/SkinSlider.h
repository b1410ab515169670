#pragma once
// A horizontal slider over the skin: a slide bitmap (key colour transparent) that jumps to a
// click or follows a drag, and a seven-row shaded bar from the track's left end up to the
// slide. Positions and values convert with truncating integer division. The mouse is polled
// every 100 ms while enabled; a drag moves the slide on those polls. A new slider is disabled.
#include "skin/SkinControl.h"

#include <QColor>
#include <QImage>
#include <array>

namespace skin {

class SkinSlider : public SkinControl {
    Q_OBJECT
    Q_PROPERTY(QColor ProgressBarColor READ ProgressBarColor WRITE SetProgressBarColor)
    Q_PROPERTY(QImage SlideBmp READ SlideBmp WRITE SetSlideBmp)
    Q_PROPERTY(QImage ActiveSlideBmp READ ActiveSlideBmp WRITE SetActiveSlideBmp)
    Q_PROPERTY(QImage DisenableSlideBmp READ DisenableSlideBmp WRITE SetDisenableSlideBmp)
    Q_PROPERTY(int Max MEMBER Max)
    Q_PROPERTY(int Min MEMBER Min)
    Q_PROPERTY(int Pos READ Pos WRITE SetPos)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
public:
    explicit SkinSlider(QWidget* parent = nullptr, CursorSource cursor = {});

    // The colour value as the toolkit stores it: red in the low byte, blue in the high byte.
    static constexpr int DefaultColorValue = 48205;
    static QColor colorFromValue(int value);

    QColor ProgressBarColor() const { return color_; }
    void SetProgressBarColor(const QColor& colour);
    // Colour of row 0..6 of the filled bar.
    QColor shade(int row) const { return shades_.at(static_cast<size_t>(row)); }
    static constexpr std::array<int, 7> RowStarts{2, 1, 0, 0, 0, 1, 2};

    QImage SlideBmp() const { return slideBmp_; }
    void SetSlideBmp(const QImage& bitmap) { slideBmp_ = toBitmap(bitmap); }
    QImage ActiveSlideBmp() const { return activeSlideBmp_; }
    void SetActiveSlideBmp(const QImage& bitmap) { activeSlideBmp_ = toBitmap(bitmap); }
    QImage DisenableSlideBmp() const { return disenableSlideBmp_; }
    void SetDisenableSlideBmp(const QImage& bitmap) { disenableSlideBmp_ = toBitmap(bitmap); }

    // Plain fields: no repaint, no recomputation. Max must exceed Min.
    int Max = 100;
    int Min = 0;

    int Pos() const { return pos_; }
    // Ignored while dragging and outside Min..Max; raises no event.
    void SetPos(int value);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Slide geometry, fixed at the first paint (slide width 0 until then).
    int slideWidth() const { return slideWidth_; }
    int trackLength() const { return trackLength_; }
    int slidePosition() const { return slidePos_; }
    bool dragging() const { return dragging_; }
    bool overSlide() const { return overSlide_; }
    bool overControl() const { return overControl_; }
    bool polling() const;

public slots:
    // One poll of the cursor; the timer runs it every 100 ms while enabled.
    void GetMousePosTimer();

signals:
    // The value was set by a click on the track or at the end of a drag.
    void changed();
    // The value moved during a drag.
    void changing();

protected:
    void paintTo(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fixGeometry();
    int valueFromSlide() const;
    int slideFromValue(int value) const;

    QColor color_;
    std::array<QColor, 7> shades_;
    QImage slideBmp_, activeSlideBmp_, disenableSlideBmp_;
    QRgb key_ = 0;
    int slideWidth_ = 0;
    int trackLength_ = 0;
    int slidePos_ = 0;
    int grabOffset_ = 0;
    int pos_ = 0;
    bool overSlide_ = false;
    bool overControl_ = false;
    bool dragging_ = false;
    bool enabled_ = false;
};

} // namespace skin
