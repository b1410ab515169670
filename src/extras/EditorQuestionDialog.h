#pragma once
// The editor's question: open the selected recording in the editor, or start the editor
// alone. exec() gives Yes (6), No (7), or 0 when the window was closed otherwise.
#include <QDialog>

class QLabel;
class QPushButton;

namespace extras {

class EditorQuestionDialog : public QDialog {
    Q_OBJECT
public:
    enum Result { Yes = 6, No = 7 };

    explicit EditorQuestionDialog(QWidget* parent = nullptr);

    // The controls (tests drive them by these names).
    QLabel* Label1;
    QPushButton* ButtonYes;
    QPushButton* ButtonNo;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Fits the dialog to its texts (see showEvent).
    void fitTexts();
};

} // namespace extras
