// skingen: draws the main window's skin art and writes it, with the resource list, into the
// skin library's folder. Run by hand after changing the art; the output is committed.
//   skingen [output folder]   (default: <source>/src/skin)
//   skingen --icons FOLDER    the program's icon as FOLDER/<n>x<n>/apps/<name>.png at the
//                             usual theme sizes (the build runs this for installing)
#include "SkinArt.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

int writeIcons(const QString& folder, const QString& name)
{
    if (folder.isEmpty()) {
        std::fprintf(stderr, "skingen: --icons needs an output folder\n");
        return 1;
    }
    for (int size : SkinArt::programIconSizes()) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir)) {
            std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(dir));
            return 1;
        }
        const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!SkinArt::programIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc > 1 && QByteArray(argv[1]) == "--icons")
        return writeIcons(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(),
                          argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("vexa-recorder"));
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QStringLiteral(VEXA_SOURCE_DIR "/src/skin");
    const QDir out(root);
    if (!out.mkpath(QStringLiteral("art"))) {
        std::fprintf(stderr, "skingen: cannot create %s/art\n", qPrintable(root));
        return 1;
    }

    const SkinArt art;
    // The window's shape depends on exactly these key pixels; refuse to write anything else.
    int keys = 0;
    const QImage& skin = art.skin();
    const QRgb key = skin.pixel(0, 0);
    for (int y = 0; y < skin.height(); ++y)
        for (int x = 0; x < skin.width(); ++x)
            keys += skin.pixel(x, y) == key;
    if (key != SkinArt::Key || keys != SkinArt::keyPixels().size()) {
        std::fprintf(stderr, "skingen: skin has %d key pixels, expected %lld\n", keys,
                     static_cast<long long>(SkinArt::keyPixels().size()));
        return 1;
    }

    QFile qrc(out.filePath(QStringLiteral("skin.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream list(&qrc);
    list << "<!DOCTYPE RCC>\n<!-- Written by tools/skingen; do not edit by hand. -->\n"
         << "<RCC version=\"1.0\">\n<qresource prefix=\"/skin\">\n";
    for (const SkinArt::Picture& picture : art.pictures()) {
        const QString file = QStringLiteral("art/") + picture.name + QStringLiteral(".png");
        if (!picture.image.save(out.filePath(file), "PNG")) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(out.filePath(file)));
            return 1;
        }
        list << "  <file>" << file << "</file>\n";
    }
    list << "</qresource>\n</RCC>\n";
    std::printf("skingen: wrote %lld pictures to %s\n",
                static_cast<long long>(art.pictures().size()), qPrintable(out.path()));
    return 0;
}
