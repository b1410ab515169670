#pragma once
// A label of the skinned window: transparent, plain text (file and folder names are never
// taken for markup), and by default sized to its text like the window's other captions; the
// file-name and folder labels keep a fixed size instead.
#include <QLabel>

namespace skin {

class SkinLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    // Both names reach setText below when set by name (language texts, file information).
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit SkinLabel(QWidget* parent = nullptr);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);

    // Hides QLabel::setText so that an auto-sized label follows its text. The height stays.
    // (A call through a plain QLabel pointer does not resize.)
    void setText(const QString& text);

protected:
    void changeEvent(QEvent* event) override;

private:
    void fitWidth();

    bool autoSize_ = true;
};

} // namespace skin
