#include "extras/EditorQuestionDialog.h"

#include <QLabel>
#include <QPushButton>

namespace extras {

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
    Label1->setGeometry(16, 16, 193, 25);
    Label1->setWordWrap(true);
    ButtonYes = new QPushButton(QStringLiteral("Yes, open this file with Dravena"), this);
    ButtonYes->setObjectName(QStringLiteral("ButtonYes"));
    ButtonYes->setGeometry(16, 56, 185, 25);
    ButtonYes->setDefault(true);
    ButtonNo = new QPushButton(QStringLiteral("No, run Dravena only"), this);
    ButtonNo->setObjectName(QStringLiteral("ButtonNo"));
    ButtonNo->setGeometry(16, 96, 185, 25);
    connect(ButtonYes, &QPushButton::clicked, this, [this] { done(Yes); });
    connect(ButtonNo, &QPushButton::clicked, this, [this] { done(No); });

    setFixedSize(217, 134);
}

void EditorQuestionDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Centred on the main window.
    if (QWidget* owner = parentWidget())
        move(owner->mapToGlobal(owner->rect().center()) - rect().center());
}

} // namespace extras
