// libFuzzer target: the language file reader with the profile-string rules. Each input is a
// whole language file, handed over as a memory file (the reader's real open path).
#include "i18n/LanguageFile.h"
#include "i18n/LanguageMessages.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const int fd = memfd_create("languagefile", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || (size && pwrite(fd, data, size, 0) != ssize_t(size)))
        return 0;
    i18n::LanguageFile ini;
    const bool opened = ini.open(QStringLiteral("/proc/self/fd/%1").arg(fd));
    if (opened != (size <= std::size_t(i18n::LanguageFile::MaxFileBytes)))
        std::abort();

    // Keys as the program reads them, and keys taken from the input itself.
    static const char* const keys[][2] = {
        {"LanguageProperty", "Name"}, {"LanguageProperty", "FontSize"}, {"Common", "Message"},
        {"Strings", "str001"},        {"Strings", "str006"},            {"Menu", "Open"},
        {"RecordFormatForm", "Mp3Capped"},
    };
    for (const auto& key : keys) {
        const QString value = ini.readString(QString::fromLatin1(key[0]), QString::fromLatin1(key[1]));
        if (value.toUtf8().size() > 2047 * 3) // cut at 2047 bytes of the file (invalid bytes widen)
            std::abort();
        if (QString::fromLatin1(key[0]) == QLatin1String("Strings") &&
            i18n::LanguageMessages::stringText(ini, QString::fromLatin1(key[1])).isEmpty())
            std::abort(); // a message never goes without words
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const int open = bytes.indexOf('['), close = bytes.indexOf(']');
    const int eq = bytes.indexOf('=', close);
    if (open >= 0 && close > open && eq > close) {
        const int lineStart = bytes.lastIndexOf('\n', eq) + 1;
        ini.readString(QString::fromUtf8(bytes.mid(open + 1, close - open - 1)),
                       QString::fromUtf8(bytes.mid(lineStart, eq - lineStart)));
    }
    return 0;
}
