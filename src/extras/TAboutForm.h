#pragma once
// The About box: the program's name, icon and version, the home page address (a click opens
// it) and the rights line. The language sets the caption, the version text and the rights-line
// template; each showing puts the current year in place of the template's first "[xxx]".
#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace platform {
class Shell;
}

namespace extras {

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    // version: the program's version number, shown after the version text.
    TAboutForm(platform::Shell& shell, const QIcon& icon, const QString& version, QWidget* parent = nullptr);

    // The address shown and opened by a click on it (set before each showing).
    void setAddress(const QString& address);
    QString address() const { return address_; }
    void setRightsTemplate(const QString& text) { rightsTemplate_ = text; }
    // Where the year comes from (the system date unless a test says otherwise).
    void setYearSource(std::function<int()> year) { year_ = std::move(year); }

    // The template with its first "[xxx]" (exactly so) replaced by the year.
    static QString RightsLine(const QString& rightsTemplate, int year);

    // The controls (tests drive them by these names).
    QFrame* Bevel2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label5;
    QLabel* Label4;
    QLabel* Image1;
    QFrame* Bevel1;
    QPushButton* ButtonOk;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormActivate();
    void Label5Click();
    void placeVersion();

    platform::Shell& shell_;
    QString address_;
    QString rightsTemplate_;
    std::function<int()> year_;
};

} // namespace extras
