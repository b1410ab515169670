#include "recording/TFormatForm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace recording {

namespace {

const char* const DefaultCappedText = "MP3 at %1 Hz is written at %2 kbps.";
// The client area as designed; the border is the window manager's.
const QSize NormalSize(361, 267);

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QGroupBox* listGroup(const QString& title, const char* name, QLabel*& label, const char* labelName,
                     const QString& labelText, QComboBox* list)
{
    auto* group = new QGroupBox(title);
    group->setObjectName(QString::fromLatin1(name));
    label = new QLabel(labelText, group);
    label->setObjectName(QString::fromLatin1(labelName));
    auto* row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(list, 1);
    list->setParent(group);
    return group;
}

} // namespace

TFormatForm::TFormatForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormatForm"));
    setWindowTitle(QStringLiteral("Record Format"));
    setModal(true);

    GroupBox1 = new QGroupBox(QStringLiteral("Format"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RadioFormatWAV = new QRadioButton(QStringLiteral("WAV"), GroupBox1);
    RadioFormatMP3 = new QRadioButton(QStringLiteral("MP3"), GroupBox1);
    RadioFormatWMA = new QRadioButton(QStringLiteral("WMA"), GroupBox1);
    RadioFormatWAV->setObjectName(QStringLiteral("RadioFormatWAV"));
    RadioFormatMP3->setObjectName(QStringLiteral("RadioFormatMP3"));
    RadioFormatWMA->setObjectName(QStringLiteral("RadioFormatWMA"));
    auto* formats = new QVBoxLayout(GroupBox1);
    formats->addWidget(RadioFormatWAV);
    formats->addWidget(RadioFormatMP3);
    formats->addWidget(RadioFormatWMA);

    GroupBox2 = new QGroupBox(QStringLiteral("Channels"));
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    RadioChannelStereo = new QRadioButton(QStringLiteral("Stereo"), GroupBox2);
    RadioChannelMono = new QRadioButton(QStringLiteral("Mono"), GroupBox2);
    RadioChannelStereo->setObjectName(QStringLiteral("RadioChannelStereo"));
    RadioChannelMono->setObjectName(QStringLiteral("RadioChannelMono"));
    auto* channels = new QVBoxLayout(GroupBox2);
    channels->addWidget(RadioChannelStereo);
    channels->addWidget(RadioChannelMono);

    ComboBoxFrequency = makeList(this, "ComboBoxFrequency",
                                 {QStringLiteral("48000 Hz"), QStringLiteral("44100 Hz"),
                                  QStringLiteral("22050 Hz"), QStringLiteral("11025 Hz"),
                                  QStringLiteral("8000 Hz")});
    ComboBoxBitrateMP3 = makeList(this, "ComboBoxBitrateMP3",
                                  {QStringLiteral("320 kbps"), QStringLiteral("256 kbps"),
                                   QStringLiteral("192 kbps"), QStringLiteral("128 kbps"),
                                   QStringLiteral("96 kbps"), QStringLiteral("64 kbps"),
                                   QStringLiteral("32 kbps")});
    ComboBoxBitrateWMA = makeList(this, "ComboBoxBitrateWMA",
                                  {QStringLiteral("160 kbps"), QStringLiteral("128 kbps"),
                                   QStringLiteral("96 kbps"), QStringLiteral("80 kbps"),
                                   QStringLiteral("64 kbps"), QStringLiteral("48 kbps")});
    GroupBox3 = listGroup(QStringLiteral("Sample"), "GroupBox3", Label1, "Label1",
                          QStringLiteral("Frequency:"), ComboBoxFrequency);
    GroupBox4 = listGroup(QStringLiteral("MP3"), "GroupBox4", Label2, "Label2",
                          QStringLiteral("Bitrate:"), ComboBoxBitrateMP3);
    GroupBox5 = listGroup(QStringLiteral("WMA"), "GroupBox5", Label3, "Label3",
                          QStringLiteral("Bitrate:"), ComboBoxBitrateWMA);

    LabelMp3Capped = new QLabel;
    LabelMp3Capped->setObjectName(QStringLiteral("LabelMp3Capped"));
    LabelMp3Capped->setWordWrap(true);
    LabelMp3Capped->setVisible(false);
    // The note wraps to the column's width instead of widening the dialog.
    LabelMp3Capped->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    cappedText_ = QString::fromLatin1(DefaultCappedText);

    ButtonDefault = new QPushButton(QStringLiteral("Default"));
    ButtonOk = new QPushButton(QStringLiteral("OK"));
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"));
    ButtonDefault->setObjectName(QStringLiteral("ButtonDefault"));
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonOk->setDefault(true);

    auto* left = new QVBoxLayout;
    left->addWidget(GroupBox1, 3);
    left->addWidget(GroupBox2, 2);
    auto* right = new QVBoxLayout;
    right->addWidget(GroupBox3);
    right->addWidget(GroupBox4);
    right->addWidget(LabelMp3Capped);
    right->addWidget(GroupBox5);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonDefault);
    buttons->addStretch(1);
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(columns, 1);
    whole->addLayout(buttons);
    setFixedSize(NormalSize);

    connect(ButtonDefault, &QPushButton::clicked, this, [this] { ButtonDefaultClick(); });
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    // activated: only the user's selections, never the program's, reach the coupling rules.
    connect(ComboBoxFrequency, &QComboBox::activated, this, [this](int i) { ComboBoxFrequencyChange(i); });
    connect(ComboBoxBitrateMP3, &QComboBox::activated, this, [this](int i) { ComboBoxBitrateMP3Change(i); });
    connect(ComboBoxBitrateWMA, &QComboBox::activated, this, [this](int i) { logic_.userSelectsWmaBitrate(i); });
    connect(RadioFormatWAV, &QRadioButton::clicked, this, [this] { logic_.userChecksFormat(FormatFormLogic::RadioWav); });
    connect(RadioFormatMP3, &QRadioButton::clicked, this, [this] { logic_.userChecksFormat(FormatFormLogic::RadioMp3); });
    connect(RadioFormatWMA, &QRadioButton::clicked, this, [this] { logic_.userChecksFormat(FormatFormLogic::RadioWma); });
    connect(RadioChannelStereo, &QRadioButton::clicked, this, [this] { logic_.userChecksStereo(true); });
    connect(RadioChannelMono, &QRadioButton::clicked, this, [this] { logic_.userChecksStereo(false); });

    showState();
}

bool TFormatForm::execute(RecordFormat& format)
{
    logic_.handIn(format);
    showState();
    if (exec() != QDialog::Accepted)
        return false;
    format = logic_.readBack(format);
    return true;
}

void TFormatForm::fitTexts()
{
    // A language's captions may be longer than these: the dialog grows to what its layout
    // needs for them, never below its normal size.
    setFixedSize(NormalSize.expandedTo(layout()->totalSizeHint()));
}

void TFormatForm::showEvent(QShowEvent* event)
{
    fitTexts();
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center()); // centred on the desktop
    FormActivate();
}

void TFormatForm::FormActivate()
{
    logic_.activate();
    showState();
}

void TFormatForm::ButtonDefaultClick()
{
    logic_.setDefaults();
    showState();
}

void TFormatForm::ComboBoxFrequencyChange(int index)
{
    logic_.userSelectsFrequency(index);
    showState();
}

void TFormatForm::ComboBoxBitrateMP3Change(int index)
{
    logic_.userSelectsMp3Bitrate(index);
    showState();
}

void TFormatForm::showState()
{
    const FormatFormLogic::State& s = logic_.state();
    const QSignalBlocker b1(ComboBoxFrequency);
    const QSignalBlocker b2(ComboBoxBitrateMP3);
    const QSignalBlocker b3(ComboBoxBitrateWMA);
    ComboBoxFrequency->setCurrentIndex(s.frequencyIndex);
    ComboBoxBitrateMP3->setCurrentIndex(s.mp3Index);
    ComboBoxBitrateWMA->setCurrentIndex(s.wmaIndex);
    RadioFormatWAV->setChecked(s.format == FormatFormLogic::RadioWav);
    RadioFormatMP3->setChecked(s.format == FormatFormLogic::RadioMp3);
    RadioFormatWMA->setChecked(s.format == FormatFormLogic::RadioWma);
    RadioChannelStereo->setChecked(s.stereo);
    RadioChannelMono->setChecked(!s.stereo);
    showCappedNote();
}

void TFormatForm::setCappedText(const QString& text)
{
    cappedText_ = text.isEmpty() ? QString::fromLatin1(DefaultCappedText) : text;
    showCappedNote();
}

void TFormatForm::showCappedNote()
{
    const FormatFormLogic::State& s = logic_.state();
    const std::int32_t rate = RecordFormat::frequencyForIndex(s.frequencyIndex);
    const std::int32_t chosen = RecordFormat::mp3BitrateForIndex(s.mp3Index);
    const std::int32_t real = RecordFormat::effectiveMp3Bitrate(rate, chosen);
    if (real != chosen)
        LabelMp3Capped->setText(cappedText_.arg(rate).arg(real));
    // Hidden rather than emptied: it takes no room when there is nothing to say.
    LabelMp3Capped->setVisible(real != chosen);
}

bool TFormatForm::isStereoChecked() const
{
    return RadioChannelStereo->isChecked();
}

} // namespace recording
