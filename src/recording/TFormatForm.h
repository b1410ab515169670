#pragma once
// The record format dialog: format, channels, sample rate, MP3 and WMA bit rates. A thin view
// over FormatFormLogic; the main window's MenuSysFormatClick runs execute().
#include <QDialog>

#include "recording/FormatFormLogic.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace recording {

class TFormatForm : public QDialog {
    Q_OBJECT
public:
    explicit TFormatForm(QWidget* parent = nullptr);

    // The command: hands the current format in, shows the dialog modally and, when it ends with
    // OK, writes the controls' values back into format and returns true. Cancel (or closing
    // the window) leaves format as it was and returns false.
    bool execute(RecordFormat& format);

    // The main window's channel label follows this when languages are applied.
    bool isStereoChecked() const;

    // The note's text from [RecordFormatForm] Mp3Capped (%1 the sample rate, %2 the rate the
    // file gets); an empty text keeps the English one, so the note never goes without words.
    void setCappedText(const QString& text);

    const FormatFormLogic& logic() const { return logic_; }

    // The controls, named as in the dialog's design (tests drive them).
    QGroupBox* GroupBox1;
    QGroupBox* GroupBox2;
    QGroupBox* GroupBox3;
    QGroupBox* GroupBox4;
    QGroupBox* GroupBox5;
    QRadioButton* RadioFormatWAV;
    QRadioButton* RadioFormatMP3;
    QRadioButton* RadioFormatWMA;
    QRadioButton* RadioChannelStereo;
    QRadioButton* RadioChannelMono;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    // Under the MP3 group, shown only when the chosen MP3 bit rate is more than the chosen
    // sample rate can carry: the rate the file will really get.
    QLabel* LabelMp3Capped;
    QComboBox* ComboBoxFrequency;
    QComboBox* ComboBoxBitrateMP3;
    QComboBox* ComboBoxBitrateWMA;
    QPushButton* ButtonDefault;
    QPushButton* ButtonOk;
    QPushButton* ButtonCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    void ButtonDefaultClick();
    void ComboBoxFrequencyChange(int index);
    void ComboBoxBitrateMP3Change(int index);
    void showState(); // logic -> controls, without raising the controls' change signals
    void showCappedNote();
    // Fits the dialog to its texts (see showEvent).
    void fitTexts();

    QString cappedText_; // [RecordFormatForm] Mp3Capped: %1 the sample rate, %2 the real rate

    FormatFormLogic logic_;
};

} // namespace recording
