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
#include "skin/MainFormHandlers.h"
#include "skin/MainFormLayout.h"
#include "skin/TQLTCircleButton.h"
#include "skin/TQLTProgressBar.h"

#include <QWidget>

class MixerPart::View : public MixerPanelView {
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

MixerPart::MixerPart(TQLTMixer::BackendFactory mixers, std::function<void(platform::MixerBackend*)> useMixer)
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
    mixer_ = std::make_unique<TQLTMixer>(mixers_);
    mixer_->setObjectName(QStringLiteral("QLTMixer1"));
    form_ = new TSoundSourceForm(mixers_, &context.window());
    form_->setObjectName(QStringLiteral("TSoundSourceForm"));
    view_ = std::make_unique<View>(context.layout());
    panels_ = std::make_unique<SoundPanels>(context.shell());

    skin::MainFormHandlers h;
    h.MenuSysSourceClick = [this] { panel_->MenuSysSourceClick(context_->Settings().MixerIndex); };
    h.QLTCircleButtonMuteClick = [this] { panel_->QLTCircleButtonMuteClick(); };
    // The device follows the slider while it is dragged, not only where it is let go.
    h.QLTProgressBarSpeakChange = [this] { panel_->QLTProgressBarSpeakChange(); };
    h.QLTProgressBarSpeakChanging = [this] { panel_->QLTProgressBarSpeakChange(); };
    h.QLTProgressBarWaveInChange = [this] { panel_->QLTProgressBarWaveInChange(); };
    h.QLTProgressBarWaveInChanging = [this] { panel_->QLTProgressBarWaveInChange(); };
    h.MenuSysAudioControlClick = [this] { panel_->MenuSysAudioControlClick(); };
    h.MenuSysMixerPanelClick = [this] { panel_->MenuSysMixerPanelClick(); };
    context.bind(h);
}

void MixerPart::formCreate(MainFormContext& context)
{
    context.languageApplier().registerWindow(
        QStringLiteral("TSoundSourceForm"), (formTexts_ = std::make_unique<i18n::ObjectNameTextsView>(form_)).get());
    panel_ = std::make_unique<MixerPanel>(*mixer_, *view_, *form_, *panels_,
                                          OsKindUsesSystemPanel(context.OsKind()));
    panel_->setPanelFailedHandler([this] { showPanelMissing(); });
    context.setRecordLineSource([this] { return panel_->RecordLineIndex(); });
}

// The mixer asks the sound server: not before the window is on the screen.
void MixerPart::formShown(MainFormContext& context)
{
    panel_->startUp(context.Settings().MixerIndex);
    mixer_->OnChange = [this](TQLTMixer*) { QLTMixer1Change(); };
    if (useMixer_)
        useMixer_(mixer_->backend());
}

void MixerPart::formDestroyBeforeSave(MainFormContext&)
{
    if (panel_)
        panel_->shutDown();
}

void MixerPart::QLTMixer1Change()
{
    panel_->refresh();
}

void MixerPart::showPanelMissing()
{
    const std::shared_ptr<const i18n::LanguageFile> language = context_->LanguageIni();
    platform::Message message = i18n::LanguageMessages::information(*language, QStringLiteral("NoSoundPanel"));
    message.text = SoundPanels::noneInstalledText(*language);
    context_->messages().show(message);
}
