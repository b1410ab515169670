#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle("Vexa Recorder");
    w.resize(270, 358);
    w.show();
    return app.exec();
}
