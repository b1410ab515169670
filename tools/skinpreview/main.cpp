// skinpreview [--seconds N] [--list-hidden] [--on-top-twice] [--menu] [--many]: the main
// window's layout alone, with sample contents, for looking at the skin and for measuring what
// the idle window costs. --on-top-twice switches stay-on-top on and off again once shown;
// --menu opens the system menu; --many fills the list beyond its height.
#include "skin/MainFormLayout.h"
#include "skin/SkinLabel.h"
#include "skin/SkinSlider.h"
#include "skin/SkinWindowCommands.h"
#include "skin/TPaintBox.h"
#include "skin/TQLTButton.h"
#include "skin/TQLTCircleButton.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

// User plus system CPU time of this process in seconds, from /proc/self/stat.
double cpuSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // After the command name: state is field 0, utime field 11, stime field 12.
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

QImage sampleSpectrum(QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    for (int i = 0; i < 21; ++i) {
        const double v = 0.25 + 0.7 * std::fabs(std::sin(i * 0.55) * std::exp(-i * 0.06));
        const int h = static_cast<int>(v * (size.height() - 4));
        QLinearGradient g(0, size.height(), 0, 0);
        g.setColorAt(0, QColor(0x2b, 0x8a, 0xd8));
        g.setColorAt(1, QColor(0x7f, 0xe0, 0xff));
        p.fillRect(QRect(3 + i * 4, size.height() - 2 - h, 3, h), g);
    }
    return img;
}

QImage sampleMeters(QSize size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    for (int row = 0; row < 2; ++row) {
        const int len = row == 0 ? 104 : 92;
        for (int x = 0; x < len; x += 3)
            p.fillRect(QRect(x, row * 5 + 1, 2, 3),
                       x < 100 ? QColor(0x3d, 0xd6, 0x85) : QColor(0xe8, 0xc5, 0x4a));
    }
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int secondsAt = args.indexOf(QStringLiteral("--seconds"));
    const int seconds = secondsAt > 0 ? args.value(secondsAt + 1).toInt() : 0;

    QWidget window;
    QElapsedTimer build;
    build.start();
    skin::MainFormLayout layout(&window);
    const qint64 buildNs = build.nsecsElapsed();
    skin::SkinWindowCommands commands(layout);

    if (seconds <= 0) {
        layout.LabelFileName->setText(QStringLiteral("Vexa_007.mp3"));
        layout.LabelTotalTime->setText(QStringLiteral("03:42"));
        layout.LabelFormat->setText(QStringLiteral("mp3"));
        layout.LabelBitrate->setText(QStringLiteral("192"));
        layout.LabelDir->setText(QStringLiteral("/home/user/Documents/"));
        layout.SpectrumBox->setImage(sampleSpectrum(layout.SpectrumBox->size()));
        layout.MeterBox->setImage(sampleMeters(layout.MeterBox->size()));
        const char* names[][2] = {{"Vexa_004.wav", "00:12"}, {"Vexa_005.mp3", "01:05"},
                                  {"Vexa_006.wma", "12:30"}, {"Vexa_007.mp3", "03:42"},
                                  {"Vexa_008.mp3", "00:48"}};
        for (const auto& n : names) {
            auto* item = new QTreeWidgetItem(layout.ListViewFiles,
                                             {QString::fromLatin1(n[0]), QString::fromLatin1(n[1])});
            item->setIcon(0, layout.ImageList1.at(4));
        }
        if (args.contains(QStringLiteral("--many")))
            for (int i = 9; i < 40; ++i)
                new QTreeWidgetItem(layout.ListViewFiles,
                                    {QStringLiteral("Vexa_%1.wav").arg(i, 3, 10, QLatin1Char('0')),
                                     QStringLiteral("00:%1").arg(i, 2, 10, QLatin1Char('0'))});
        layout.ListViewFiles->setCurrentItem(layout.ListViewFiles->topLevelItem(3));
    }
    for (auto* s : {layout.QLTProgressBar1, layout.QLTProgressBarSpeak, layout.QLTProgressBarWaveIn})
        s->SetEnabled(true);
    layout.QLTProgressBar1->SetPos(38);
    layout.QLTProgressBarSpeak->SetPos(48000);
    layout.QLTProgressBarWaveIn->SetPos(30000);
    layout.QLTCircleButtonPlay->SetDown(true);
    layout.QLTCircleButtonRecord->SetEnabled(false);
    // The list's height switch, as the main window does it (without saving it).
    auto showList = [&window](bool shown) {
        window.setFixedSize(skin::MainFormLayout::ClientWidth,
                            shown ? skin::MainFormLayout::FullHeight : skin::MainFormLayout::ListHiddenHeight);
    };
    if (args.contains(QStringLiteral("--list-hidden")))
        showList(false);
    // The window commands wired as the main window wires them.
    using skin::TQLTButton;
    QObject::connect(layout.QLTButtonIcon, &TQLTButton::clicked,
                     [&] { commands.openSystemMenu(); });
    QObject::connect(layout.QLTButtonSpectrum, &TQLTButton::clicked,
                     [&] { commands.openSpectrumMenu(); });
    QObject::connect(layout.QLTButtonMinimize, &TQLTButton::clicked, [&] { commands.minimize(); });
    QObject::connect(layout.QLTButtonClose, &TQLTButton::clicked, [&] { commands.close(); });
    QObject::connect(layout.QLTButtonFileList, &TQLTButton::clicked,
                     [&] { showList(window.height() != skin::MainFormLayout::FullHeight); });
    QObject::connect(layout.QLTButtonCloseList, &TQLTButton::clicked, [&] { showList(false); });
    QObject::connect(layout.MenuSysOnTop, &QAction::triggered,
                     [&] { commands.setStayOnTop(layout.MenuSysOnTop->isChecked()); });
    window.show();
    if (args.contains(QStringLiteral("--on-top-twice")))
        QTimer::singleShot(300, [&] {
            commands.setStayOnTop(true);
            QTimer::singleShot(300, [&] { commands.setStayOnTop(false); });
        });
    if (args.contains(QStringLiteral("--menu")))
        QTimer::singleShot(300, [&] { commands.openSystemMenu(); });

    if (seconds > 0) {
        double cpuStart = 0;
        QElapsedTimer wall;
        // Measure once the window is up and painted.
        QTimer::singleShot(500, [&] {
            cpuStart = cpuSeconds();
            wall.start();
            QTimer::singleShot(seconds * 1000, [&] {
                const double cpu = cpuSeconds() - cpuStart;
                const double elapsed = wall.nsecsElapsed() / 1e9;
                std::printf("layout build: %.2f ms\nidle window: %.3f s CPU in %.2f s = %.2f %% of a core\n",
                            buildNs / 1e6, cpu, elapsed, 100.0 * cpu / elapsed);
                app.quit();
            });
        });
    }
    return app.exec();
}
