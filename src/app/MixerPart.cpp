#include "app/MixerPart.h"

#include "i18n/LanguageMessages.h"

#include "app/AppSettings.h"
#include "app/MainFormContext.h"
#include "app/OsKind.h"
#include "i18n/LanguageApplier.h"
#include "i18n/LanguageFile.h"
#include "i18n/ObjectNameTextsView.h"
#include "mixer/MixerPanel.h"
#include "mixer/MixerPanelView.h"
#include "mixer/SoundPanels.h"
#include "mixer/TSoundSourceForm.h"
#include "platform/MessageSink.h"
#include "skin/MainFormLayout.h"
#include "skin/SkinSlider.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QTimer>
#include <QWidget>

namespace app {

class MixerPart::View : public mixer::MixerPanelView {
public:
    explicit View(skin::MainFormLayout& l) : l_(l) {}
    void setControlsEnabled(bool enabled) override
    {
        l_.QLTProgressBarWaveIn->SetEnabled(enabled);
        l_.QLTProgressBarSpeak->SetEnabled(enabled);
        l_.QLTCircleButtonMute->SetEnabled(enabled);
    }
    int waveInPos() const override { return l_.QLTProgressBarWaveIn->Pos(); }
    void setWaveInPos(int pos) override { l_.QLTProgressBarWaveIn->SetPos(pos); }
    int speakPos() const override { return l_.QLTProgressBarSpeak->Pos(); }
    void setSpeakPos(int pos) override { l_.QLTProgressBarSpeak->SetPos(pos); }
    bool muteDown() const override { return l_.QLTCircleButtonMute->Down(); }
    void setMuteDown(bool down) override { l_.QLTCircleButtonMute->SetDown(down); }

private:
    skin::MainFormLayout& l_;
};

MixerPart::MixerPart(mixer::MixerDevice::BackendFactory mixers,
                     std::function<void(platform::MixerBackend*)> useMixer)
    : mixers_(std::move(mixers)), useMixer_(std::move(useMixer))
{
}

MixerPart::~MixerPart()
{
    if (useMixer_)
        useMixer_(nullptr);
}

void MixerPart::attach(MainFormContext& context)
{
    context_ = &context;
    mixer_ = std::make_unique<mixer::MixerDevice>(mixers_);
    mixer_->setObjectName(QStringLiteral("QLTMixer1"));
    form_ = new mixer::TSoundSourceForm(mixers_, &context.window());
    form_->setObjectName(QStringLiteral("TSoundSourceForm"));
    view_ = std::make_unique<View>(context.layout());
    panels_ = std::make_unique<mixer::SoundPanels>(context.shell());

    skin::MainFormLayout& l = context.layout();
    using skin::SkinSlider;
    const auto source = [this] { panel_->MenuSysSourceClick(context_->Settings().MixerIndex); };
    connectCommand(context, l.QLTCircleButtonSource, &skin::TQLTCircleButton::clicked, source);
    connectCommand(context, l.MenuSysSource, &QAction::triggered, source);
    connectCommand(context, l.QLTCircleButtonMute, &skin::TQLTCircleButton::clicked,
                   [this] { panel_->QLTCircleButtonMuteClick(); });
    // The device follows a slider while it is dragged, not only where it is let go.
    for (auto signal : {&SkinSlider::changed, &SkinSlider::changing}) {
        connectCommand(context, l.QLTProgressBarSpeak, signal,
                       [this] { panel_->QLTProgressBarSpeakChange(); });
        connectCommand(context, l.QLTProgressBarWaveIn, signal,
                       [this] { panel_->QLTProgressBarWaveInChange(); });
    }
    connectCommand(context, l.MenuSysAudioControl, &QAction::triggered,
                   [this] { panel_->MenuSysAudioControlClick(); });
    connectCommand(context, l.MenuSysMixerPanel, &QAction::triggered,
                   [this] { panel_->MenuSysMixerPanelClick(); });
}

void MixerPart::formCreate(MainFormContext& context)
{
    context.languageApplier().registerWindow(
        QStringLiteral("TSoundSourceForm"), (formTexts_ = std::make_unique<i18n::ObjectNameTextsView>(form_)).get());
    panel_ = std::make_unique<mixer::MixerPanel>(*mixer_, *view_, *form_, *panels_,
                                                 OsKindUsesSystemPanel(context.OsKind()));
    panel_->setPanelFailedHandler([this] { showPanelMissing(); });
    panel_->setLineGoneHandler([this](const QString& line) {
        const std::shared_ptr<const i18n::LanguageFile> language = context_->LanguageIni();
        platform::Message message =
            i18n::LanguageMessages::information(*language, QStringLiteral("SourceGone"));
        message.text = message.text.arg(line);
        context_->messages().show(message);
    });
}

// The mixer asks the sound server: not before the window is on the screen.
void MixerPart::formShown(MainFormContext& context)
{
    panel_->startUp(context.Settings().MixerIndex);
    mixer_->OnChange = [this](mixer::MixerDevice*) { QLTMixer1Change(); };
    mixer_->OnServerBack = [this](mixer::MixerDevice*) { QLTMixer1ServerBack(); };
    if (useMixer_)
        useMixer_(mixer_->backend());
}

void MixerPart::formDestroyBeforeSave(MainFormContext&)
{
    if (panel_)
        panel_->shutDown();
}

int MixerPart::recordLineIndex() const
{
    return panel_ ? panel_->RecordLineIndex() : -1;
}

void MixerPart::QLTMixer1Change()
{
    panel_->refresh();
}

// The sound server started late or restarted: the engine (told by the same backend) starts its
// devices again, the mixer is opened again and the controls follow it; the window says so once
// per return.
void MixerPart::QLTMixer1ServerBack()
{
    panel_->startUp(context_->Settings().MixerIndex);
    // After the other listeners (the engine) have taken the news: the box waits for the user.
    QTimer::singleShot(0, &context_->window(), [this] {
        i18n::LanguageMessages::Inform(context_->messages(), *context_->LanguageIni(),
                                       QStringLiteral("ServerBack"));
    });
}

void MixerPart::showPanelMissing()
{
    const std::shared_ptr<const i18n::LanguageFile> language = context_->LanguageIni();
    platform::Message message = i18n::LanguageMessages::information(*language, QStringLiteral("NoSoundPanel"));
    message.text = mixer::SoundPanels::noneInstalledText(*language);
    context_->messages().show(message);
}

} // namespace app
