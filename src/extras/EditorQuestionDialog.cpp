#include "extras/EditorQuestionDialog.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace extras {

namespace {

// The normal layout: the question at (16, 16) over two full-width buttons 40 pixels apart.
const QSize NormalSize(217, 134);
constexpr int Margin = 16, LabelWidth = 193, LabelHeight = 25, ButtonWidth = 185, ButtonHeight = 25;
constexpr int YesTop = 56, NoTop = 96;
// The question may grow to 8 pixels above the Yes button before the buttons move down.
constexpr int RoomForQuestion = YesTop - 8 - Margin;

// The width a button needs for its caption: the text and 4 pixels on each side for the frame.
int captionWidth(const QPushButton* button)
{
    return button->fontMetrics().horizontalAdvance(button->text()) + 8;
}

} // namespace

EditorQuestionDialog::EditorQuestionDialog(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                  Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("RunDravenaForm"));
    setWindowTitle(QStringLiteral("Dravena"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("Open this audio file with Dravena?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Margin, Margin, LabelWidth, LabelHeight);
    Label1->setWordWrap(true);
    ButtonYes = new QPushButton(QStringLiteral("Yes, open this file with Dravena"), this);
    ButtonYes->setObjectName(QStringLiteral("ButtonYes"));
    ButtonYes->setGeometry(Margin, YesTop, ButtonWidth, ButtonHeight);
    ButtonYes->setDefault(true);
    ButtonNo = new QPushButton(QStringLiteral("No, run Dravena only"), this);
    ButtonNo->setObjectName(QStringLiteral("ButtonNo"));
    ButtonNo->setGeometry(Margin, NoTop, ButtonWidth, ButtonHeight);
    connect(ButtonYes, &QPushButton::clicked, this, [this] { done(Yes); });
    connect(ButtonNo, &QPushButton::clicked, this, [this] { done(No); });

    setFixedSize(NormalSize);
}

void EditorQuestionDialog::fitTexts()
{
    // A language's captions may be longer than these: the buttons widen to their text, the
    // question wraps over the lines it needs, and the dialog grows with them, never below its
    // normal size.
    const int buttonWidth =
        std::max({ButtonWidth, captionWidth(ButtonYes), captionWidth(ButtonNo)});
    const int labelWidth = std::max(LabelWidth, buttonWidth + LabelWidth - ButtonWidth);
    const int labelHeight = std::max(LabelHeight, Label1->heightForWidth(labelWidth));
    const int lower = std::max(0, labelHeight - RoomForQuestion);
    Label1->setGeometry(Margin, Margin, labelWidth, labelHeight);
    ButtonYes->setGeometry(Margin, YesTop + lower, buttonWidth, ButtonHeight);
    ButtonNo->setGeometry(Margin, NoTop + lower, buttonWidth, ButtonHeight);
    setFixedSize(NormalSize.width() + labelWidth - LabelWidth, NormalSize.height() + lower);
}

void EditorQuestionDialog::showEvent(QShowEvent* event)
{
    // The language's texts are in by now; fitted before the dialog is placed.
    fitTexts();
    QDialog::showEvent(event);
    // Centred on the main window.
    if (QWidget* owner = parentWidget())
        move(owner->mapToGlobal(owner->rect().center()) - rect().center());
}

} // namespace extras
