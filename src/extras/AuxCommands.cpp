#include "extras/AuxCommands.h"

#include "extras/EncodeString.h"
#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"
#include "platform/MessageSink.h"
#include "platform/ResourcePaths.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace extras {

const char* const AuxCommands::Joiner = "Pelmora";
const char* const AuxCommands::Editor = "Dravena";
const char* const AuxCommands::Converter = "Kestiva";
const char* const AuxCommands::NotFoundKey = "ToolNotFound";
const char* const AuxCommands::NoManualKey = "ManualMissing";

namespace {

// The home page address as stored.
constexpr char HomePageScrambled[] = "vyyjhrss5\\~3u\\~3bjR\\uF|Ms";

constexpr int EditorYes = 6;

bool isProgram(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

AuxCommands::AuxCommands(platform::Shell& shell, platform::MessageSink& messages, QString programFolder,
                         LanguageSource language)
    : shell_(shell), messages_(messages), programFolder_(std::move(programFolder)), language_(std::move(language))
{
}

QString AuxCommands::locate(const QString& name) const
{
    QStringList names{name};
    if (name.toLower() != name)
        names << name.toLower();
    for (const QString& n : names)
        if (isProgram(programFolder_ + n))
            return programFolder_ + n;
    for (const QString& n : names) {
        // An empty list of folders would make findExecutable search PATH after all.
        if (!usePath_ && searchPath_.isEmpty())
            break;
        const QString found = QStandardPaths::findExecutable(n, usePath_ ? QStringList() : searchPath_);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

bool AuxCommands::startJoiner()
{
    return start(QString::fromLatin1(Joiner), {});
}

bool AuxCommands::startConverter()
{
    return start(QString::fromLatin1(Converter), {});
}

bool AuxCommands::startEditor(const QString& selectedFile)
{
    const QString name = QString::fromLatin1(Editor);
    // Asking about a file for a program that is not there would only lead to the message.
    if (locate(name).isEmpty()) {
        reportNotStarted(name);
        return false;
    }
    QStringList arguments;
    // One argument, exactly the path: no quotes, spaces kept.
    if (!selectedFile.isEmpty() && askEditor_ && askEditor_() == EditorYes)
        arguments << selectedFile;
    return start(name, arguments);
}

QString AuxCommands::helpPath() const
{
    // Beside the program in a build tree, in the share folder once installed.
    return platform::ResourcePaths::resourceFolder(programFolder_, QStringLiteral("manual"))
           + QStringLiteral("/index.html");
}

bool AuxCommands::openHelp()
{
    // The desktop's handler says nothing about a document that is not there (or starts a
    // browser on an error page): a missing manual is told here.
    const QString path = helpPath();
    if (!QFileInfo(path).isFile()) {
        platform::Message message =
            i18n::LanguageMessages::information(*language(), QString::fromLatin1(NoManualKey));
        message.text.replace(QLatin1String("%1"), QDir::toNativeSeparators(path));
        messages_.show(message);
        return false;
    }
    return shell_.openDocument(path);
}

QString AuxCommands::homePage()
{
    return EncodeString::unscramble(QString::fromLatin1(HomePageScrambled));
}

bool AuxCommands::openHomePage()
{
    return shell_.openUrl(homePage());
}

bool AuxCommands::start(const QString& name, const QStringList& arguments)
{
    const QString path = locate(name);
    if (path.isEmpty() || !shell_.startProgram(path, arguments, QString())) {
        reportNotStarted(name);
        return false;
    }
    return true;
}

std::shared_ptr<const i18n::LanguageFile> AuxCommands::language() const
{
    std::shared_ptr<const i18n::LanguageFile> ini = language_ ? language_() : nullptr;
    if (!ini)
        ini = std::make_shared<const i18n::LanguageFile>(); // the built-in texts
    return ini;
}

void AuxCommands::reportNotStarted(const QString& name)
{
    platform::Message message =
        i18n::LanguageMessages::information(*language(), QString::fromLatin1(NotFoundKey));
    const QString folder = QDir::toNativeSeparators(programFolder_);
    message.text.replace(QLatin1String("%1"), name).replace(QLatin1String("%2"), folder);
    messages_.show(message);
}

} // namespace extras
