#include "mixer/TSoundSourceForm.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <utility>

namespace mixer {

namespace {

QFrame* bevel(QWidget* parent, const char* name, int x, int y, int w)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(x, y, w, 2);
    return line;
}

// The normal size, and what lies right of the last control: the bevels and the lists end 24
// pixels before the right edge, Cancel 46 pixels before it.
const QSize NormalSize(289, 321);
constexpr int RightMargin = 24, RightOfCancel = 46;
constexpr int ButtonWidth = 75, OkLeft = 40, CancelLeft = 168;
// A bevel starts 2 pixels after its caption and is at least this long.
constexpr int BevelLeft = 72, CaptionGap = 2, ShortestBevel = 24;

// The width a button needs for its caption: the text and 4 pixels on each side for the frame.
int captionWidth(const QPushButton* button)
{
    return button->fontMetrics().horizontalAdvance(button->text()) + 8;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, h);
    return l;
}

} // namespace

TSoundSourceForm::TSoundSourceForm(MixerDevice::BackendFactory mixers, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                  Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SoundSourceForm"));
    setWindowTitle(QStringLiteral("Sound Source"));
    setModal(true);
    setFixedSize(NormalSize);

    // Captions are as wide as their text needs (fitted when the dialog shows: the language's
    // texts may be longer, and measuring text here would load a font before the main window's
    // first paint).
    Label1 = label(this, "Label1", QStringLiteral("Mixer"), 25, 16, 45, 13);
    Bevel1 = bevel(this, "Bevel1", 72, 24, 193);
    Label2 = label(this, "Label2", QStringLiteral("Wave In"), 24, 80, 46, 13);
    Bevel2 = bevel(this, "Bevel2", 72, 88, 193);
    Bevel3 = bevel(this, "Bevel3", 8, 264, 273);

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(72, 40, 193, 21);
    ComboBox1->setEditable(false);
    // The user's choice only: filling the list or setting its index from code browses nothing.
    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this, [this] { ComboBox1Change(); });

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setGeometry(72, 104, 185, 137);
    CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    CheckListBox1->setUniformItemSizes(true);
    CheckListBox1->viewport()->installEventFilter(this);
    // The check mark follows the selection, whether the mouse or the keyboard moved it.
    connect(CheckListBox1, &QListWidget::itemSelectionChanged, this,
            [this] { selectionChanged(); });

    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setGeometry(OkLeft, 280, ButtonWidth, 25);
    ButtonOk->setDefault(true);
    connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setGeometry(CancelLeft, 280, ButtonWidth, 25);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

    QLTMixer1 = new MixerDevice(std::move(mixers), this);
    QLTMixer1->setObjectName(QStringLiteral("QLTMixer1"));

    // Centred on the desktop.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSoundSourceForm::setLines(const QStringList& lines, const QStringList& names)
{
    filling_ = true;
    CheckListBox1->clear();
    for (int i = 0; i < int(lines.size()); ++i) {
        auto* item = new QListWidgetItem(lines[i], CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, 20));
        if (i < int(names.size()))
            item->setData(Qt::UserRole, names[i]);
    }
    filling_ = false;
    chosenName_.clear();
    chosenText_.clear();
}

void TSoundSourceForm::followLines(const QStringList& lines, const QStringList& names)
{
    const QString name = chosenName(), text = chosenText();
    const bool userChose = !chosenName_.isEmpty();
    setLines(lines, names);
    const int row = int(names.indexOf(name));
    if (!name.isEmpty() && row >= 0)
        markLine(row);
    if (userChose) {
        chosenName_ = name;
        chosenText_ = text;
    }
}

void TSoundSourceForm::markLine(int row)
{
    if (row < 0 || row >= CheckListBox1->count())
        return;
    filling_ = true;
    CheckListBox1->item(row)->setCheckState(Qt::Checked);
    CheckListBox1->setCurrentRow(row);
    filling_ = false;
}

void TSoundSourceForm::selectionChanged()
{
    if (filling_)
        return;
    const QList<QListWidgetItem*> selected = CheckListBox1->selectedItems();
    if (!selected.isEmpty()) {
        chosenName_ = selected.first()->data(Qt::UserRole).toString();
        chosenText_ = selected.first()->text();
    }
    CheckListBox1MouseUp();
}

QString TSoundSourceForm::chosenName() const
{
    if (!chosenName_.isEmpty())
        return chosenName_;
    const QList<QListWidgetItem*> selected = CheckListBox1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(Qt::UserRole).toString();
}

QString TSoundSourceForm::chosenText() const
{
    if (!chosenName_.isEmpty())
        return chosenText_;
    const QList<QListWidgetItem*> selected = CheckListBox1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

int TSoundSourceForm::selectedLine() const
{
    const QList<QListWidgetItem*> selected = CheckListBox1->selectedItems();
    return selected.isEmpty() ? -1 : CheckListBox1->row(selected.first());
}

int TSoundSourceForm::checkedLine() const
{
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            return i;
    return -1;
}

void TSoundSourceForm::ComboBox1Change()
{
    if (ComboBox1->count() == 0)
        return;
    QLTMixer1->Open(ComboBox1->currentIndex());
    QStringList lines, names;
    QLTMixer1->GetWaveInLines(lines, names);
    setLines(lines, names);
    markLine(QLTMixer1->GetWaveInIndex());
    QLTMixer1->Close();
}

void TSoundSourceForm::CheckListBox1MouseUp()
{
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        QListWidgetItem* item = CheckListBox1->item(i);
        item->setCheckState(item->isSelected() ? Qt::Checked : Qt::Unchecked);
    }
}

void TSoundSourceForm::fitTexts()
{
    // Each caption as wide as its text, its bevel after it; the buttons as wide as their text
    // (75 at least), Cancel after OK as far apart as normally. The dialog widens to hold them,
    // never below its normal size.
    Label1->adjustSize();
    Label2->adjustSize();
    const int okWidth = std::max(ButtonWidth, captionWidth(ButtonOk));
    const int cancelWidth = std::max(ButtonWidth, captionWidth(ButtonCancel));
    const int cancelLeft =
        std::max(CancelLeft, OkLeft + okWidth + CancelLeft - OkLeft - ButtonWidth);
    int width = std::max(NormalSize.width(), cancelLeft + cancelWidth + RightOfCancel);
    for (const QLabel* caption : {Label1, Label2})
        width = std::max(
            width, caption->geometry().right() + 1 + CaptionGap + ShortestBevel + RightMargin);
    setFixedSize(width, NormalSize.height());
    for (const auto& [caption, bevel] : {std::pair{Label1, Bevel1}, std::pair{Label2, Bevel2}}) {
        const int left = std::max(BevelLeft, caption->geometry().right() + 1 + CaptionGap);
        bevel->setGeometry(left, bevel->y(), width - RightMargin - left, bevel->height());
    }
    Bevel3->resize(width - 2 * Bevel3->x(), Bevel3->height());
    ButtonOk->resize(okWidth, ButtonOk->height());
    ButtonCancel->setGeometry(cancelLeft, ButtonCancel->y(), cancelWidth, ButtonCancel->height());
}

void TSoundSourceForm::showEvent(QShowEvent* event)
{
    const QSize before = size();
    fitTexts();
    QDialog::showEvent(event);
    // Centred on the desktop again when the texts changed its size.
    if (size() != before)
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
}

bool TSoundSourceForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == CheckListBox1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // After the list has handled the release (a click on a check box toggles it there).
        QMetaObject::invokeMethod(this, [this] { CheckListBox1MouseUp(); }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace mixer
