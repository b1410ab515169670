#include "i18n/LanguageKeys.h"

#include "i18n/WindowTexts.h"

#include <algorithm>

namespace i18n {

QList<LanguageSection> LanguageKeys()
{
    QList<LanguageSection> sections = {
        {QStringLiteral("LanguageProperty"),
         {QStringLiteral("Name"), QStringLiteral("FontName"), QStringLiteral("FontSize"),
          QStringLiteral("CharSet")}},
        {QStringLiteral("Common"),
         {QStringLiteral("Ok"), QStringLiteral("Cancel"), QStringLiteral("Default"),
          QStringLiteral("Message")}},
        {QStringLiteral("Strings"), {}},
    };
    for (int i = 1; i <= 8; ++i)
        sections[2].keys << QStringLiteral("str%1").arg(i, 3, 10, QLatin1Char('0'));
    // The sound device or server going away while recording (%1: the file) or playing; the
    // recordings folder made again during a recording (the file's path follows); a companion
    // tool that cannot be started; no program for the desktop's sound settings (%1: the names).
    sections[2].keys << QStringLiteral("DeviceLostRecord") << QStringLiteral("DeviceLostPlay")
                     << QStringLiteral("FolderRecreated") << QStringLiteral("ToolNotFound")
                     << QStringLiteral("NoSoundPanel");
    // The recordings folder missing at Record and impossible to make (%1: the folder, %2: why).
    sections[2].keys << QStringLiteral("FolderNotMade");
    // The recording's watches: too little room to start (%1: time that fits, %2: the folder),
    // the disk nearly full (%1: time left), the recording ended before it is full (%1: the
    // file); after Stop, the capture's dropouts (%1 count, %2 seconds, %3 the first) and
    // clipping (%1 count, %2 the first).
    sections[2].keys << QStringLiteral("DiskFullStart") << QStringLiteral("DiskSpaceLow")
                     << QStringLiteral("DiskFullStop") << QStringLiteral("DropoutSummary")
                     << QStringLiteral("ClipSummary");
    // The take's line: gone during the recording, the server still there (%1: the line, %2:
    // the file); muted at Record, or digital silence at the start of the take (%1: the line).
    sections[2].keys << QStringLiteral("LineLostRecord") << QStringLiteral("LineMuted")
                     << QStringLiteral("LineSilent");
    // A listing that found several files it could not read (%1: how many).
    sections[2].keys << QStringLiteral("UnreadableFiles");
    // The recordings folder not writable at Record (%1: the folder, %2: why); replaced by a
    // file during a recording (the path the recording goes on in follows); a file that cannot
    // be deleted (%1: the file, %2: why); the user manual not installed (%1: where it was
    // looked for).
    sections[2].keys << QStringLiteral("FolderNotWritable") << QStringLiteral("FolderReplaced")
                     << QStringLiteral("DeleteFailed") << QStringLiteral("ManualMissing");
    // The line chosen in the sound source dialog gone by OK (%1: its text); the sound server
    // answering again after a time without it.
    sections[2].keys << QStringLiteral("SourceGone") << QStringLiteral("ServerBack");

    // The window texts, in their table's order; a key may serve several controls.
    auto add = [&sections](const QString& section, const QString& key) {
        auto it = std::find_if(sections.begin(), sections.end(),
                               [&](const LanguageSection& s) { return s.name == section; });
        if (it == sections.end()) {
            sections.append({section, {}});
            it = sections.end() - 1;
        }
        if (!it->keys.contains(key))
            it->keys << key;
    };
    for (const WindowText& text : WindowTexts::table()) {
        add(text.section, text.key);
        if (!text.alternateKey.isEmpty())
            add(text.section, text.alternateKey);
    }
    // Read on demand by the transport logic for the Record and Play hints.
    add(QStringLiteral("Button"), QStringLiteral("Pause"));
    add(QStringLiteral("Button"), QStringLiteral("Continue"));
    // Read by the record format dialog for its note on a capped MP3 bit rate.
    add(QStringLiteral("RecordFormatForm"), QStringLiteral("Mp3Capped"));
    return sections;
}

} // namespace i18n
