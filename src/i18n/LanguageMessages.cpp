#include "i18n/LanguageMessages.h"

#include "i18n/LanguageFile.h"
#include "platform/MessageSink.h"

#include <QHash>

namespace i18n {

namespace {

// Section and key in lower case, as the language file compares them.
QString id(const QString& section, const QString& key)
{
    return section.toLower() + QLatin1Char('/') + key.toLower();
}

const QHash<QString, QString>& builtInTexts()
{
    // The English wording of the shipped English.ini.
    static const QHash<QString, QString> texts = {
        {id(QStringLiteral("Common"), QStringLiteral("Message")), QStringLiteral("Vexa Recorder")},
        {id(QStringLiteral("Strings"), QStringLiteral("str001")),
         QStringLiteral("The recording file could not be created. Check that the recordings "
                        "folder exists and can be written to.")},
        {id(QStringLiteral("Strings"), QStringLiteral("str002")),
         QStringLiteral("Recording could not be started. Check that a recording device is "
                        "connected and not in use.")},
        {id(QStringLiteral("Strings"), QStringLiteral("str003")),
         QStringLiteral("The recording could not be written (the disk may be full). Recording "
                        "has stopped.")},
        {id(QStringLiteral("Strings"), QStringLiteral("str004")),
         QStringLiteral("Delete the selected recording permanently?")},
        {id(QStringLiteral("Strings"), QStringLiteral("str005")),
         QStringLiteral("The recording could not be renamed. The name may be in use or not "
                        "allowed.")},
        {id(QStringLiteral("Strings"), QStringLiteral("str006")),
         QStringLiteral("This WAV file cannot be read.")},
        {id(QStringLiteral("Strings"), QStringLiteral("str007")),
         QStringLiteral("This MP3 file cannot be opened.")},
        {id(QStringLiteral("Strings"), QStringLiteral("str008")),
         QStringLiteral("This WMA file cannot be opened.")},
        {id(QStringLiteral("Strings"), QStringLiteral("DeviceLostRecord")),
         QStringLiteral("The recording device or the sound server stopped working, so recording "
                        "has stopped. Everything captured until then is in %1.")},
        {id(QStringLiteral("Strings"), QStringLiteral("LineLostRecord")),
         QStringLiteral("The recording line %1 went away (unplugged or removed), so recording "
                        "has stopped. Everything recorded until then is in %2.")},
        {id(QStringLiteral("Strings"), QStringLiteral("LineMuted")),
         QStringLiteral("The recording line %1 is muted, so this recording will be silent. "
                        "Recording goes on; unmute the line in the sound settings or choose "
                        "another one (Sound source).")},
        {id(QStringLiteral("Strings"), QStringLiteral("LineSilent")),
         QStringLiteral("The recording line %1 has given no sound at all in the first 3 seconds: "
                        "it may be muted, not connected, or the wrong line. Recording goes on; "
                        "check the line (Sound source).")},
        {id(QStringLiteral("Strings"), QStringLiteral("DeviceLostPlay")),
         QStringLiteral("Playback has stopped: the sound output device or the sound server "
                        "stopped working.")},
        {id(QStringLiteral("Strings"), QStringLiteral("NoSoundPanel")),
         QStringLiteral("No program for the sound settings is installed. Any of these would serve: "
                        "%1.")},
        {id(QStringLiteral("Strings"), QStringLiteral("ToolNotFound")),
         QStringLiteral("%1 could not be started. It was looked for in %2 and in the folders of "
                        "PATH.")},
        {id(QStringLiteral("Strings"), QStringLiteral("FolderRecreated")),
         QStringLiteral("The recordings folder was removed during the recording. It has been "
                        "created again; the recording so far is kept and goes on in this file:")},
        {id(QStringLiteral("Strings"), QStringLiteral("FolderNotMade")),
         QStringLiteral("Recording was not started: the recordings folder %1 does not exist and "
                        "could not be created (%2). Choose another folder.")},
        {id(QStringLiteral("Strings"), QStringLiteral("DiskFullStart")),
         QStringLiteral("Recording was not started: the disk of the recordings folder %2 has room "
                        "for only %1 (minutes:seconds) in this format, less than 10 seconds. Free "
                        "some space or choose another folder.")},
        {id(QStringLiteral("Strings"), QStringLiteral("DiskSpaceLow")),
         QStringLiteral("The disk of the recordings folder is nearly full: about %1 "
                        "(minutes:seconds) of this recording still fits. Recording goes on and "
                        "will stop by itself before the disk is full.")},
        {id(QStringLiteral("Strings"), QStringLiteral("DiskFullStop")),
         QStringLiteral("The disk of the recordings folder has room for only a few more seconds, "
                        "so recording has stopped. Everything recorded until then is in %1.")},
        {id(QStringLiteral("Strings"), QStringLiteral("DropoutSummary")),
         QStringLiteral("Audio was lost %1 time(s) during the recording (the computer was too "
                        "busy), %2 s in total; the first at %3. Silence of the same length stands "
                        "in for it, so what follows stays in place.")},
        {id(QStringLiteral("Strings"), QStringLiteral("ClipSummary")),
         QStringLiteral("The input was too loud: %1 clipped passage(s), the first at %2. Lower the recording volume.")},
        {id(QStringLiteral("Strings"), QStringLiteral("UnreadableFiles")),
         QStringLiteral("%1 files in the recordings folder could not be read; they are listed "
                        "with 00:00. Select one of them to see why.")},
        {id(QStringLiteral("Strings"), QStringLiteral("FolderNotWritable")),
         QStringLiteral("Recording was not started: nothing can be written in the recordings "
                        "folder %1 (%2). Choose another folder, or allow writing in this one.")},
        {id(QStringLiteral("Strings"), QStringLiteral("FolderReplaced")),
         QStringLiteral("The recordings folder was replaced by a file of the same name during the "
                        "recording. The recording so far is kept and goes on in this file:")},
        {id(QStringLiteral("Strings"), QStringLiteral("DeleteFailed")),
         QStringLiteral("The file %1 could not be deleted (%2).")},
        {id(QStringLiteral("Strings"), QStringLiteral("ManualMissing")),
         QStringLiteral("The user manual is not installed. It was looked for at %1.")},
        {id(QStringLiteral("Strings"), QStringLiteral("SourceGone")),
         QStringLiteral("The sound source you chose (%1) is no longer there, so the recording line "
                        "was not changed. Open Sound Source again to choose another.")},
        {id(QStringLiteral("Strings"), QStringLiteral("ServerBack")),
         QStringLiteral(
             "The sound server is available again: recording, playback and the mixer work again.")},
    };
    return texts;
}

} // namespace

QString LanguageMessages::builtIn(const QString& section, const QString& key)
{
    return builtInTexts().value(id(section, key));
}

QString LanguageMessages::text(const LanguageFile& ini, const QString& section, const QString& key)
{
    const QString text = ini.readString(section, key);
    return text.isEmpty() ? builtIn(section, key) : text;
}

QString LanguageMessages::stringText(const LanguageFile& ini, const QString& stringKey)
{
    return text(ini, QStringLiteral("Strings"), stringKey);
}

QString LanguageMessages::caption(const LanguageFile& ini)
{
    return text(ini, QStringLiteral("Common"), QStringLiteral("Message"));
}

platform::Message LanguageMessages::information(const LanguageFile& ini, const QString& stringKey,
                                                bool withOwner)
{
    platform::Message message;
    message.text = stringText(ini, stringKey);
    message.caption = caption(ini);
    message.icon = platform::MessageIcon::Information;
    message.withOwner = withOwner;
    return message;
}

void LanguageMessages::Inform(platform::MessageSink& sink, const LanguageFile& ini,
                              const QString& stringKey, bool withOwner)
{
    sink.show(information(ini, stringKey, withOwner));
}

bool LanguageMessages::Confirm(platform::MessageSink& sink, const LanguageFile& ini,
                               const QString& stringKey)
{
    return sink.confirm(stringText(ini, stringKey), QString());
}

} // namespace i18n
