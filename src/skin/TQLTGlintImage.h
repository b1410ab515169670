#pragma once
// One image of an image list, shown steadily or flashing: with Glint on, the image is shown
// for GlintCycle ms and hidden for GlintCycle ms, in turn, starting visible.
#include "skin/SkinControl.h"

#include <QIcon>
#include <QList>

class QTimer;

namespace skin {

class TQLTGlintImage : public SkinControl {
    Q_OBJECT
    Q_PROPERTY(bool Glint READ Glint WRITE SetGlint)
    Q_PROPERTY(int GlintCycle READ GlintCycle WRITE SetGlintCycle)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
public:
    explicit TQLTGlintImage(QWidget* parent = nullptr);

    bool Glint() const { return glint_; }
    void SetGlint(bool glint);
    int GlintCycle() const { return glintCycle_; }
    void SetGlintCycle(int milliseconds);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);

    // The image list; not owned. Null draws nothing.
    const QList<QIcon>* Images = nullptr;

    bool visiblePhase() const { return phase_; }
    bool timerRunning() const;
    int timerInterval() const;

public slots:
    // The timer's step: flips between the visible and the hidden phase.
    void SetGlintTimer();

protected:
    void paintTo(QPainter& painter) override;

private:
    bool glint_ = false;
    int glintCycle_ = 500;
    int imageIndex_ = 0;
    bool phase_ = true;
    QTimer* timer_;
};

} // namespace skin
