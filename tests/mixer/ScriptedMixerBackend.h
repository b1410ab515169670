#pragma once
// A mixer backend whose devices, lines, volumes and failures a test sets, and which records
// every set operation it is asked for.
#include "platform/MixerBackend.h"

#include <QStringList>

#include <memory>

class ScriptedMixerBackend : public platform::MixerBackend {
public:
    struct State {
        QStringList devices{"Server one"};
        QStringList lines{"Microphone", "Line In", "Monitor of Speaker"};
        QStringList names{"mic", "line", "speaker.monitor"}; // the sound system's, per line
        int selected = 1;
        QList<int> lineVolumes{1000, 2000, 3000};
        int speakerVolume = 40000;
        int mute = 0;
        int failCode = 0;     // non-zero: every set operation fails with it
        bool failReads = false;
        int openCount = 0;
        int closeCount = 0;
        int openDevice = -1;  // -1: closed
        QStringList calls;
    };

    explicit ScriptedMixerBackend(std::shared_ptr<State> state) : s(std::move(state)) {}

    QStringList devices() override { return s->failReads ? QStringList() : s->devices; }
    bool open(int device) override
    {
        ++s->openCount;
        s->openDevice = device >= 0 && device < s->devices.size() ? device : -1;
        return s->openDevice >= 0;
    }
    void close() override
    {
        ++s->closeCount;
        s->openDevice = -1;
    }
    QStringList recordingLines() override { return usable() ? s->lines : QStringList(); }
    QString lineName(int line) override
    {
        return usable() && line >= 0 && line < s->names.size() ? s->names[line] : QString();
    }
    int selectedLine() override { return usable() ? s->selected : -1; }
    int setSelectedLine(int line) override
    {
        s->calls << "select " + QString::number(line);
        if (!usable() || s->failCode)
            return s->failCode ? s->failCode : 99;
        s->selected = line;
        emit changed();
        return 0;
    }
    int lineVolume(int line) override
    {
        return usable() && line >= 0 && line < s->lineVolumes.size() ? s->lineVolumes[line] : -1;
    }
    int setLineVolume(int line, int volume) override
    {
        s->calls << QString("line %1 %2").arg(line).arg(volume);
        if (!usable() || s->failCode || line < 0 || line >= s->lineVolumes.size())
            return s->failCode ? s->failCode : 99;
        s->lineVolumes[line] = volume;
        emit changed();
        return 0;
    }
    int speakerVolume() override { return usable() ? s->speakerVolume : -1; }
    int setSpeakerVolume(int volume) override
    {
        s->calls << "speaker " + QString::number(volume);
        if (!usable() || s->failCode)
            return s->failCode ? s->failCode : 99;
        s->speakerVolume = volume;
        emit changed();
        return 0;
    }
    int speakerMute() override { return usable() ? s->mute : -1; }
    int setSpeakerMute(bool mute) override
    {
        s->calls << QString("mute %1").arg(mute);
        if (!usable() || s->failCode)
            return s->failCode ? s->failCode : 99;
        s->mute = mute ? 1 : 0;
        emit changed();
        return 0;
    }

    std::shared_ptr<State> s;

private:
    bool usable() const { return s->openDevice >= 0 && !s->failReads; }
};

// A factory for MixerDevice over one shared state; counts the backends it made.
inline std::function<std::unique_ptr<platform::MixerBackend>()> scriptedMixers(std::shared_ptr<ScriptedMixerBackend::State> state,
                                                                              int* made = nullptr)
{
    return [state, made] {
        if (made)
            ++*made;
        return std::make_unique<ScriptedMixerBackend>(state);
    };
}
