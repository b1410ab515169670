#include "app/DisplayPart.h"

#include "app/AppSettings.h"
#include "app/MainFormContext.h"
#include "audio/TransportModel.h"
#include "skin/MainFormHandlers.h"
#include "skin/MainFormLayout.h"
#include "skin/TPaintBox.h"
#include "visual/DisplayTick.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

namespace {
// For the CPU benchmark only: the window runs without its display, to measure what it costs.
bool displayTurnedOff()
{
    return qEnvironmentVariableIsSet("VEXA_BENCH_DISPLAY_OFF");
}
}

DisplayPart::DisplayPart(audio::AudioApi& audio) : audio_(audio)
{
}

DisplayPart::~DisplayPart() = default;

QImage DisplayPart::windowImage(QWidget& window, const QRegion& only)
{
    QImage image(window.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    if (only.isEmpty())
        window.render(&image);
    else // the part lands where it lies in the window
        window.render(&image, only.boundingRect().topLeft(), only);
    return image;
}

void DisplayPart::attach(MainFormContext& context)
{
    context_ = &context;
    // The window stores the chosen mode in the settings; the renderer follows it here.
    skin::MainFormHandlers h;
    h.MenuSpec1Click = [this] { MenuSpecClick(0); };
    h.MenuSpec2Click = [this] { MenuSpecClick(1); };
    h.MenuSpec3Click = [this] { MenuSpecClick(2); };
    context.bind(h);
    if (!displayTurnedOff())
        context.joinTick([this] { Timer2Timer(); });
}

void DisplayPart::formCreate(MainFormContext& context)
{
    // The skin, labels and controls as they stand now are the background of both boxes. The
    // boxes show the counter even without audio: the stop symbol and "00:00".
    skin::MainFormLayout& layout = context.layout();
    const QImage window = windowImage(context.window(), QRegion(layout.PaintBox1->geometry()) +
                                                           QRegion(layout.PaintBox2->geometry()));
    display_ = std::make_unique<visual::DisplayTick>(audio_, window, layout.PaintBox1->geometry(),
                                                     layout.PaintBox2->geometry());
    display_->SetMode(visual::SpectrumModeFromValue(context.Settings().SpectrumMode));
}

void DisplayPart::formDestroyAfterSave(MainFormContext&)
{
    display_.reset();
}

void DisplayPart::MenuSpecClick(int mode)
{
    if (display_)
        display_->SetMode(visual::SpectrumModeFromValue(mode));
}

void DisplayPart::Timer2Timer()
{
    if (!display_)
        return;
    const audio::TransportModel& transport = context_->transport();
    skin::MainFormLayout& layout = context_->layout();
    // A box whose picture stands still (Idle, a steady tone) is not shown again.
    const visual::DisplayTick::Changed changed = display_->Timer2Timer(
        transport.channel(), transport.state(), layout.PaintBox1->frame(), layout.PaintBox2->frame());
    if (changed.spectrum)
        layout.PaintBox1->update();
    if (changed.meters)
        layout.PaintBox2->update();
}
