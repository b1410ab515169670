#pragma once
// The live display of the main window: the spectrum box with its LED counter (SpectrumBox) and the
// level meters (MeterBox). Takes an image of the window once at creation as the boxes'
// background, owns the spectrum menu's modes (one exclusive group, each item carrying its mode's
// stored value), and draws one frame of each box in every display tick; the boxes only show
// the frames.
#include "app/TMainFormPart.h"
#include "audio/AudioApi.h"

#include <QRegion>

#include <memory>

class QActionGroup;
class QImage;
class QWidget;

namespace visual {
class DisplayTick;
}

namespace app {

class DisplayPart : public TMainFormPart {
public:
    // drawing: off, the window runs without its display (only for measuring what it costs).
    explicit DisplayPart(audio::AudioApi& audio, bool drawing = true);
    ~DisplayPart() override;
    DisplayPart(const DisplayPart&) = delete;
    DisplayPart& operator=(const DisplayPart&) = delete;

    // Null before creation.
    visual::DisplayTick* display() const { return display_.get(); }
    // The spectrum menu's items, in menu order; each one's data is its mode's stored value.
    QActionGroup* spectrumModes() const { return modes_; }

    // The window as it is painted, the size of its client area. With `only`, just that part of
    // the window is painted (the rest stays black): the boxes need no more, and painting the
    // whole window again would hold up its first showing.
    static QImage windowImage(QWidget& window, const QRegion& only = QRegion());

    // TMainFormPart
    void attach(MainFormContext& context) override;
    void formCreate(MainFormContext& context) override;
    void formDestroyAfterSave(MainFormContext& context) override;

private:
    void chooseMode(int value);
    void tick();

    audio::AudioApi& audio_;
    bool drawing_;
    QActionGroup* modes_ = nullptr; // child of the spectrum menu
    MainFormContext* context_ = nullptr;
    std::unique_ptr<visual::DisplayTick> display_;
};

} // namespace app
