#pragma once
// The sound source dialog: the mixer devices in a drop-down list and the recording lines of the
// chosen device in a check list with exactly one row checked. Browsing another device reads its
// lines through the dialog's own mixer, opened only for that moment. The main window fills the
// dialog from its open mixer, shows it and reads the choice back (MixerPanel).
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

    // Rows of the line list: replaces them with `lines`, none checked or selected.
    void setLines(const QStringList& lines);
    // Checks and selects row `row` when it exists (else leaves the list unmarked).
    void markLine(int row);
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Fits the captions and the dialog to their texts (see showEvent).
    void fitTexts();
};

} // namespace mixer
