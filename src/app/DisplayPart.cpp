#include "app/DisplayPart.h"

#include "app/AppSettings.h"
#include "app/MainFormContext.h"
#include "audio/TransportModel.h"
#include "skin/MainFormLayout.h"
#include "skin/TPaintBox.h"
#include "visual/DisplayTick.h"
#include "visual/SpectrumMode.h"

#include <QAction>
#include <QActionGroup>
#include <QImage>
#include <QMenu>
#include <QRegion>
#include <QWidget>

namespace app {

namespace {
// The spectrum menu's items: language name, built-in caption and the mode.
struct ModeItem {
    const char* name;
    const char* caption;
    visual::SpectrumMode mode;
};
constexpr ModeItem modeItems[] = {
    {"MenuSpec1", "Blaze", visual::SpectrumMode::Blaze},
    {"MenuSpec2", "Bars", visual::SpectrumMode::Bars},
    {"MenuSpec3", "Waveform", visual::SpectrumMode::Waveform},
};
}

DisplayPart::DisplayPart(audio::AudioApi& audio, bool drawing) : audio_(audio), drawing_(drawing)
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
    skin::MainFormLayout& layout = context.layout();
    modes_ = new QActionGroup(layout.PopupMenuSpectrum);
    modes_->setExclusive(true);
    for (const ModeItem& item : modeItems) {
        QAction* action =
            layout.addMenuItem(layout.PopupMenuSpectrum, QString::fromLatin1(item.name),
                               QString::fromLatin1(item.caption));
        action->setCheckable(true);
        action->setData(int(item.mode));
        modes_->addAction(action);
    }
    // The chosen mode goes into the settings and to the renderer.
    QObject::connect(modes_, &QActionGroup::triggered, &context.window(), context.command([this] {
        chooseMode(modes_->checkedAction()->data().toInt());
    }));
    if (drawing_)
        context.joinTick([this] { tick(); });
}

void DisplayPart::formCreate(MainFormContext& context)
{
    // The skin, labels and controls as they stand now are the background of both boxes. The
    // boxes show the counter even without audio: the stop symbol and "00:00".
    skin::MainFormLayout& layout = context.layout();
    const QImage window =
        windowImage(context.window(),
                    QRegion(layout.SpectrumBox->geometry()) + QRegion(layout.MeterBox->geometry()));
    display_ = std::make_unique<visual::DisplayTick>(audio_, window, layout.SpectrumBox->geometry(),
                                                     layout.MeterBox->geometry());
    const visual::SpectrumMode mode =
        visual::SpectrumModeFromValue(context.Settings().SpectrumMode);
    display_->SetMode(mode);
    for (QAction* action : modes_->actions())
        action->setChecked(action->data().toInt() == int(mode));
}

void DisplayPart::formDestroyAfterSave(MainFormContext&)
{
    display_.reset();
}

void DisplayPart::chooseMode(int value)
{
    context_->Settings().SpectrumMode = value;
    if (display_)
        display_->SetMode(visual::SpectrumModeFromValue(value));
}

void DisplayPart::tick()
{
    if (!display_)
        return;
    const audio::TransportModel& transport = context_->transport();
    skin::MainFormLayout& layout = context_->layout();
    // A box whose picture stands still (Idle, a steady tone) is not shown again.
    const visual::DisplayTick::Changed changed =
        display_->step(transport.channel(), transport.state(), layout.SpectrumBox->frame(),
                       layout.MeterBox->frame());
    if (changed.spectrum)
        layout.SpectrumBox->update();
    if (changed.meters)
        layout.MeterBox->update();
}

} // namespace app
