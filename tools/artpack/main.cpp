// artpack: decodes the skin's PNG pictures once, at build time, into the pack the program
// carries as a resource (skin/ArtPack.h).
//   artpack OUTPUT SKIN.qrc   the pictures listed in the resource file, named by their base name
#include "skin/ArtPack.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: artpack OUTPUT SKIN.qrc\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString qrc = QString::fromLocal8Bit(argv[2]);
    QFile list(qrc);
    if (!list.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "artpack: cannot read %s\n", qPrintable(qrc));
        return 1;
    }
    const QString text = QString::fromUtf8(list.readAll());
    QList<QPair<QString, QImage>> pictures;
    const QRegularExpression file(QStringLiteral("<file>([^<]+\\.png)</file>"));
    for (auto it = file.globalMatch(text); it.hasNext();) {
        const QString path = QFileInfo(qrc).absolutePath() + QLatin1Char('/') + it.next().captured(1);
        const QImage image(path);
        if (image.isNull()) {
            std::fprintf(stderr, "artpack: cannot decode %s\n", qPrintable(path));
            return 1;
        }
        pictures.append({QFileInfo(path).completeBaseName(), image});
    }
    if (pictures.isEmpty()) {
        std::fprintf(stderr, "artpack: no pictures listed in %s\n", qPrintable(qrc));
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    const QByteArray packed = skin::ArtPack::pack(pictures);
    if (!out.open(QIODevice::WriteOnly) || out.write(packed) != packed.size()) {
        std::fprintf(stderr, "artpack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
