#pragma once
// A one-line caption that can scroll from right to left through the control: every Interval
// ms the text moves Step pixels left; once it has left the control on the left it re-enters
// from the right edge.
#include "skin/SkinControl.h"

class QTimer;

namespace skin {

class TQLTScrollText : public SkinControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Scroll READ Scroll WRITE SetScroll)
    Q_PROPERTY(int Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(int Step MEMBER Step)
public:
    explicit TQLTScrollText(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool Scroll() const { return scroll_; }
    void SetScroll(bool scroll);
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);

    int Step = 1;

    int textX() const { return textX_; }
    int wrapLimit() const { return wrapLimit_; }
    int textWidth() const;
    bool timerRunning() const;
    int timerInterval() const;

public slots:
    // The timer's step.
    void SetStepTimer();

signals:
    // The caption was set.
    void changed();

protected:
    void paintTo(QPainter& painter) override;

private:
    QString caption_ = QStringLiteral("MyScrollText");
    bool scroll_ = false;
    int interval_ = 50;
    int textX_ = 0;
    int wrapLimit_ = 0;
    QTimer* timer_;
};

} // namespace skin
