#pragma once
// The main window as main() builds it, for the window tests: an in-memory settings store, a
// message sink that collects, a shell that notes every request, and a private program folder
// (Languages/ and a recordings folder inside it on request). makeForm() assembles the window
// with the program's parts over a given engine; services() gives the bare window's services.
#include "app/MainFormParts.h"
#include "app/TMainForm.h"
#include "platform/Shell.h"
#include "skin/MainFormLayout.h"
#include "support/MemorySettingsStore.h"
#include "support/RecordingMessageSink.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace testsupport {

// Notes every request as "folder F", "document D", "url U" or "program P [a|b]" and hands it over.
class RecordingShell : public platform::Shell {
public:
    bool openFolder(const QString& folder) override { return note("folder " + folder); }
    bool openDocument(const QString& path) override { return note("document " + path); }
    bool openUrl(const QString& url) override { return note("url " + url); }
    bool startProgram(const QString& program, const QStringList& arguments, const QString&) override
    {
        return note("program " + program + " [" + arguments.join("|") + "]");
    }
    QStringList calls;

private:
    bool note(const QString& call)
    {
        calls << call;
        return true;
    }
};

class WindowFixture : public ::testing::Test {
protected:
    // The parts go before the fixture's own engines and mixers do.
    void TearDown() override { parts_.reset(); }

    // Copies the shipped language files into the program's Languages folder.
    void copyLanguages(std::initializer_list<const char*> files)
    {
        QDir().mkpath(languages_);
        const QString shipped = qEnvironmentVariable("VEXA_SOURCE_DIR") + "/languages/";
        for (const char* file : files)
            QFile::copy(shipped + file, languages_ + "/" + file);
    }

    // Creates the recordings folder and stores it; returns it with the trailing separator.
    QString useRecordingsFolder(const QString& name = QStringLiteral("Recordings"))
    {
        QDir().mkpath(dir_.filePath(name));
        const QString folder = dir_.filePath(name) + "/";
        store_.setValue("Dir", folder);
        return folder;
    }

    // The bare window's services on a system in the given user language.
    app::TMainForm::Services services(std::uint16_t languageId = 1033)
    {
        return app::TMainForm::Services{
            store_,
            sink_,
            shell_,
            platform::SystemFacts{platform::OsFamily::Other, 6, 1, languageId},
            app::AppSettings::Environment{dir_.filePath("Documents"), languageId},
            program_};
    }

    // The window with the program's parts over the engine (and the given mixers), then `more`.
    std::unique_ptr<app::TMainForm>
    makeForm(audio::AudioApi& engine,
             mixer::MixerDevice::BackendFactory mixers = app::MainFormParts::nullMixers(),
             std::function<void(platform::MixerBackend*)> useMixer = {},
             const std::vector<app::TMainFormPart*>& more = {})
    {
        parts_ =
            std::make_unique<app::MainFormParts>(engine, std::move(mixers), std::move(useMixer));
        app::TMainForm::Services s = services();
        s.parts = parts_->all();
        s.parts.insert(s.parts.end(), more.begin(), more.end());
        auto form = std::make_unique<app::TMainForm>(std::move(s));
        form_ = form.get();
        return form;
    }

    // The layout of the window makeForm() built last.
    skin::MainFormLayout& layout() { return form_->layout(); }

    QTemporaryDir dir_;
    const QString program_ = dir_.path() + "/";
    const QString languages_ = dir_.filePath("Languages");
    MemorySettingsStore store_;
    RecordingMessageSink sink_;
    RecordingShell shell_;
    std::unique_ptr<app::MainFormParts> parts_;
    app::TMainForm* form_ = nullptr;
};

} // namespace testsupport
