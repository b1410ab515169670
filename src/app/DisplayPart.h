#pragma once
// The live display of the main window: the spectrum box with its LED counter (PaintBox1) and the
// level meters (PaintBox2). Takes an image of the window once at creation as the boxes'
// background, keeps the spectrum mode in step with the spectrum menu, and draws one frame of
// each box in every display tick; the boxes only show the frames.
#include "app/TMainFormPart.h"
#include "audio/AudioApi.h"

#include <QRegion>

#include <memory>

class QImage;
class QWidget;

namespace visual {
class DisplayTick;
}

class DisplayPart : public TMainFormPart {
public:
    explicit DisplayPart(audio::AudioApi& audio);
    ~DisplayPart() override;
    DisplayPart(const DisplayPart&) = delete;
    DisplayPart& operator=(const DisplayPart&) = delete;

    // Null before creation.
    visual::DisplayTick* display() const { return display_.get(); }

    // The window as it is painted, the size of its client area. With `only`, just that part of
    // the window is painted (the rest stays black): the boxes need no more, and painting the
    // whole window again would hold up its first showing.
    static QImage windowImage(QWidget& window, const QRegion& only = QRegion());

    // TMainFormPart
    void attach(MainFormContext& context) override;
    void formCreate(MainFormContext& context) override;
    void formDestroyAfterSave(MainFormContext& context) override;

private:
    void MenuSpecClick(int mode);
    void Timer2Timer();

    audio::AudioApi& audio_;
    MainFormContext* context_ = nullptr;
    std::unique_ptr<visual::DisplayTick> display_;
};
