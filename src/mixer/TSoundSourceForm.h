#pragma once
// The sound source dialog: the mixer devices in a drop-down list and the recording lines of the
// chosen device in a check list with exactly one row checked. Browsing another device reads its
// lines through the dialog's own mixer, opened only for that moment. The main window fills the
// dialog from its open mixer, shows it and reads the choice back (MixerPanel). Each row carries
// its line's sound-system name: the choice is that name, not the row number, and the list may
// follow lines that come and go while the dialog is open (followLines) without changing it.
#include "mixer/MixerDevice.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

namespace mixer {

class TSoundSourceForm : public QDialog {
    Q_OBJECT
public:
    explicit TSoundSourceForm(MixerDevice::BackendFactory mixers, QWidget* parent = nullptr);

    // Rows of the line list: replaces them with `lines` (names[k]: the sound system's name of
    // line k, if given), none checked or selected, nothing chosen.
    void setLines(const QStringList& lines, const QStringList& names = {});
    // Replaces the rows with the lines there are now, keeping the chosen line selected and
    // checked where it still stands (a chosen line that went away stays the choice).
    void followLines(const QStringList& lines, const QStringList& names);
    // Checks and selects row `row` when it exists (else leaves the list unmarked).
    void markLine(int row);
    // The name and text of the line chosen (the selected row when the user chose none), empty
    // when nothing is chosen.
    QString chosenName() const;
    QString chosenText() const;
    // The selected row of the line list, -1 when none.
    int selectedLine() const;
    // The row whose check mark is set, -1 when none.
    int checkedLine() const;

    // Browsing another device (the combo box's change).
    void ComboBox1Change();
    // The exclusive check: every row's mark follows whether it is selected.
    void CheckListBox1MouseUp();

    QLabel* Label1;
    QFrame* Bevel1;
    QLabel* Label2;
    QFrame* Bevel2;
    QFrame* Bevel3;
    QComboBox* ComboBox1;
    QListWidget* CheckListBox1;
    QPushButton* ButtonOk;
    QPushButton* ButtonCancel;
    MixerDevice* QLTMixer1; // the dialog's own mixer, used only while browsing devices

private:
    void selectionChanged();

    QString chosenName_, chosenText_; // the user's choice, by name
    bool filling_ = false;            // the rows are being replaced: no choice of the user

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Fits the captions and the dialog to their texts (see showEvent).
    void fitTexts();
};

} // namespace mixer
