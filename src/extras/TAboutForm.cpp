#include "extras/TAboutForm.h"

#include "platform/Shell.h"

#include <QDate>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace extras {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& at)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(at);
    return l;
}

QFrame* bevel(QWidget* parent, const char* name, const QRect& at)
{
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    f->setGeometry(at);
    return f;
}

// Room to the right of the labels inside the frame (the frame's inner edge).
constexpr int FrameRight = 8 + 281 - 8;

} // namespace

TAboutForm::TAboutForm(platform::Shell& shell, const QIcon& icon, const QString& version, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      shell_(shell),
      year_([] { return QDate::currentDate().year(); })
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    Bevel2 = bevel(this, "Bevel2", {8, 8, 281, 129});
    Label1 = label(this, "Label1", QStringLiteral("Vexa  Recorder"), {24, 24, 102, 20});
    QFont title = Label1->font();
    title.setPixelSize(16);
    Label1->setFont(title);
    QPalette maroon = Label1->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    Label1->setPalette(maroon);
    Label1->adjustSize();
    Label2 = label(this, "Label2", QStringLiteral("Version:"), {24, 56, 38, 13});
    Label3 = label(this, "Label3", version, {68, 56, 15, 13});
    Label5 = label(this, "Label5", QString(), {24, 80, 133, 13});
    Label5->setCursor(Qt::PointingHandCursor);
    Label5->installEventFilter(this);
    // The rights line may take two lines in a wider font; the frame has room for them.
    Label4 = label(this, "Label4", QString(), {24, 108, FrameRight - 24, 28});
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Image1 = label(this, "Image1", QString(), {200, 24, 72, 72});
    Image1->setAlignment(Qt::AlignCenter);
    // The icon's largest picture, scaled up when it is smaller than the box.
    QPixmap picture = icon.pixmap(72, 72);
    if (!picture.isNull() && picture.size() != QSize(72, 72))
        picture = picture.scaled(72, 72, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    Image1->setPixmap(picture);
    Bevel1 = bevel(this, "Bevel1", {8, 152, 281, 2});
    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setGeometry(104, 160, 75, 25);
    ButtonOk->setDefault(true);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept); // ButtonOkClick

    setFixedSize(299, 198); // the client area; the border is the window manager's
}

void TAboutForm::setAddress(const QString& address)
{
    address_ = address;
    Label5->setText(address);
    Label5->adjustSize();
    // Left of the icon, whatever the font.
    Label5->resize(qMin(Label5->width(), 200 - 24 - 4), Label5->height());
}

QString TAboutForm::RightsLine(const QString& rightsTemplate, int year)
{
    static const QString marker = QStringLiteral("[xxx]");
    QString line = rightsTemplate;
    const int at = line.indexOf(marker, 0, Qt::CaseSensitive);
    if (at >= 0)
        line.replace(at, marker.size(), QString::number(year));
    return line;
}

void TAboutForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center()); // centred on the desktop
    FormActivate();
}

void TAboutForm::FormActivate()
{
    // The language may have changed the font since the last showing.
    Label1->adjustSize();
    // The version text is the language's caption of Label2; the number follows it.
    placeVersion();
    Label4->setText(RightsLine(rightsTemplate_, year_()));
}

void TAboutForm::placeVersion()
{
    Label2->adjustSize();
    Label3->adjustSize();
    Label3->move(qMax(68, Label2->x() + Label2->width() + 4), Label3->y());
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label5 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
        && Label5->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        Label5Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::Label5Click()
{
    // The desktop's browser says itself when it cannot show the page.
    shell_.openUrl(address_);
}

} // namespace extras
