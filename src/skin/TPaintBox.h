#pragma once
// A drawing surface of the main window: shows an image composed elsewhere (the spectrum box,
// the level meters) with one copy per frame; what it does not cover shows the skin.
#include <QImage>
#include <QWidget>

namespace skin {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    QImage image() const { return image_; }
    // The image the box shows, to compose the next frame into (no copy is made); update()
    // shows it.
    QImage& frame() { return image_; }

signals:
    // Raised after each paint, for owners that draw on top.
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

} // namespace skin
