#include "recording/NextFileName.h"

#include "recording/RecordFormat.h"

#include <QDir>
#include <QSet>

namespace recording {

namespace {

constexpr int kLastNumber = 1000;

QString baseName(int number)
{
    // 1 -> Vexa_001, 10 -> Vexa_010, 100 -> Vexa_100, 1000 -> Vexa_1000.
    return QStringLiteral("Vexa_%1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

QString nextFileName(const QString& folder, std::uint8_t formatCode)
{
    // One listing of the folder; names are compared folded to lower case. Every kind of entry
    // counts (a folder or a link of that name would make the writer fail or overwrite).
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QSet<QString> taken;
    taken.reserve(entries.size());
    for (const QString& e : entries)
        taken.insert(e.toLower());

    static const QString kExtensions[] = {QStringLiteral(".wav"), QStringLiteral(".mp3"),
                                          QStringLiteral(".wma")};
    for (int number = 1; number <= kLastNumber; ++number) {
        const QString base = baseName(number);
        const QString lower = base.toLower();
        bool used = false;
        for (const QString& ext : kExtensions)
            used = used || taken.contains(lower + ext);
        if (used)
            continue;
        QString path = folder;
        if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')) && !path.endsWith(QDir::separator()))
            path += QDir::separator();
        return path + base + RecordFormat::extensionFor(formatCode);
    }
    return {};
}

} // namespace recording
